// Exits with status 0 and prints nothing: to its caller, like a test program
// that wine did not manage to run.
int main() {
    return 0;
}
