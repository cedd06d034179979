#include "file_problem.h"

#include "texts.h"

namespace platform {
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
    case FileProblem::Kind::LinkLoop: return std::string(texts::ReasonLinkLoop);
    case FileProblem::Kind::Other: break;
  }
  return problem.systemText;
}

}  // namespace platform
