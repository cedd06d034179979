#include "file_names.h"

#include <algorithm>

namespace platform {
namespace {

constexpr std::string_view TemporaryMark = ".pelmo-tmp-";
constexpr size_t RandomLength = 6;

bool isAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::string TemporaryNameOf(std::string_view name, std::string_view random) {
  return std::string(name).append(TemporaryMark).append(random);
}

bool IsTemporaryOf(std::string_view name, std::string_view entry) {
  if (entry.size() != name.size() + TemporaryMark.size() + RandomLength) return false;
  if (!entry.starts_with(name) || entry.substr(name.size(), TemporaryMark.size()) != TemporaryMark) return false;
  const std::string_view random = entry.substr(name.size() + TemporaryMark.size());
  return std::all_of(random.begin(), random.end(), isAlnum);
}

std::string BackupNameOf(std::string_view name) { return std::string(name) + ".bak"; }

}  // namespace platform
