#pragma once

#include <QString>

// What a fallible file function that has nothing else to give back returns.
// Functions that read something return a struct of their own with the same
// `error` field beside what they read.
struct FileResult {
    QString error; // the operator's text naming the file; empty on success
    bool ok() const { return error.isEmpty(); }
};
