#include "file_problem.h"

#include <algorithm>

#include "texts.h"

namespace platform {
namespace {

constexpr std::string_view TemporaryMark = ".pelmo-tmp-";
constexpr size_t RandomLength = 6;

bool isAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::string ReasonText(const FileProblem& problem) {
  switch (problem.kind) {
    case FileProblem::Kind::None: return {};
    case FileProblem::Kind::NotFound: return std::string(texts::ReasonNotFound);
    case FileProblem::Kind::PermissionDenied: return std::string(texts::ReasonPermissionDenied);
    case FileProblem::Kind::ReadOnlyFile: return std::string(texts::ReasonReadOnlyFile);
    case FileProblem::Kind::ReadOnlyFileSystem: return std::string(texts::ReasonReadOnlyFileSystem);
    case FileProblem::Kind::NoSpace: return std::string(texts::ReasonNoSpace);
    case FileProblem::Kind::IsADirectory: return std::string(texts::ReasonIsADirectory);
    case FileProblem::Kind::NotARegularFile: return std::string(texts::ReasonNotARegularFile);
    case FileProblem::Kind::TooLarge: return std::string(texts::ReasonTooLarge);
    case FileProblem::Kind::Other: break;
  }
  return problem.systemText;
}

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
