#include "support/ConfigFixture.h"

#include <filesystem>

namespace kvl::test {

ConfigFixture::ConfigFixture(Files files)
    : kind_(files), platform{files == Files::Real ? static_cast<FileSystem&>(realFiles)
                                                  : fake.files,
                             fake.messages,
                             fake.events,
                             fake.clock,
                             fake.program,
                             fake.instance,
                             fake.system,
                             fake.documents,
                             fake.libraries,
                             fake.tray},
      program(platform, library) {
    if (kind_ == Files::Real)
        fake.program.folder = temp.path();
    else
        fake.files.addDirectory(fake.program.folder);
}

const std::string& ConfigFixture::folder() const {
    return fake.program.folder;
}

std::string ConfigFixture::path(const std::string& name) const {
    return joinPath(folder(), name);
}

void ConfigFixture::writeFile(const std::string& name, const std::string& bytes) {
    if (kind_ == Files::Real)
        test::writeFile(path(name), bytes);
    else
        fake.files.addFile(path(name), bytes);
}

std::string ConfigFixture::readFile(const std::string& name) {
    if (kind_ == Files::Real)
        return test::readFile(path(name));
    return fake.files.content(fake.files.resolve(path(name)));
}

void ConfigFixture::makeDirectory(const std::string& name) {
    if (kind_ == Files::Real)
        std::filesystem::create_directories(path(name));
    else
        fake.files.addDirectory(path(name));
}

} // namespace kvl::test
