// Upper case as the system compares names (archive entries, textures, meshes,
// disk paths): a to z become A to Z and every other byte stays as it is.
// Plain functions without state; callable from any layer.
#pragma once

#include <cstddef>

namespace platform {

constexpr char UpperCaseAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Copies source upper-cased, with its NUL, into target, which holds capacity
// bytes. False when source does not fit (its length is capacity or more);
// target then holds the empty string.
bool CopyUpperCase(const char* source, char* target, std::size_t capacity);

}  // namespace platform
