#pragma once

#include <memory>
#include <string>

namespace kvl {

class SharedLibrary {
public:
    virtual ~SharedLibrary() = default;
    // The address of the named symbol, or nullptr when the library lacks it.
    virtual void* symbol(const std::string& name) = 0;
};

class LibraryLoader {
public:
    virtual ~LibraryLoader() = default;
    // Loads the library at the path (or by bare name from the system search
    // path); throws RunTimeError 53 with the loader's reason when it cannot.
    virtual std::unique_ptr<SharedLibrary> load(const std::string& path) = 0;
};

} // namespace kvl
