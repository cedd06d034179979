// Names beside a file that the program knows as its own: the temporary
// file a save writes first (`random` is made of letters and digits), and
// the copy kept of a file it could not read before replacing it.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::string TemporaryNameOf(std::string_view name, std::string_view random);
bool IsTemporaryOf(std::string_view name, std::string_view entry);
std::string BackupNameOf(std::string_view name);

}  // namespace platform
