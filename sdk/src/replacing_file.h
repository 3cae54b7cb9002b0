#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace zul {

// A file written under a temporary name beside its own and renamed into
// place only once every byte is out, so a failed write leaves neither a
// broken file nor a damaged earlier one under the name.
class ReplacingFile {
public:
    explicit ReplacingFile(std::string path);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile &) = delete;
    ReplacingFile &operator=(const ReplacingFile &) = delete;

    // False once any write fell short (and for every write after it).
    bool write(const void *bytes, std::size_t count);
    // Puts the file in place; false, with nothing left behind, when it or
    // any write before it failed.
    bool commit();

private:
    void discard();

    std::string path_;
    std::string temporary_;
    std::FILE *file_ = nullptr;
    bool failed_ = false;
};

// Lets `successes` more writes succeed and fails the next one; a negative
// value switches the failure off. For the tests.
void failFileWriteAfter(int successes);

} // namespace zul
