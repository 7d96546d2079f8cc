#pragma once
// Writes fixture bytes to files under one temporary folder per test process, for
// code that reads by path. The folder is removed when the process exits.

#include <filesystem>
#include <string>

#include "tests/support/image_fixtures.h"

namespace glyphwell::testsupport {

// The folder (created on first use).
const std::string& FixtureDir();
// Writes `bytes` to FixtureDir()/name and returns the full path.
std::string WriteFixtureFile(const std::string& name, const Bytes& bytes);
// Writes `bytes` to `path`, creating its folders; false when it could not be written.
bool WriteBytesFile(const std::filesystem::path& path, const Bytes& bytes);

}  // namespace glyphwell::testsupport
