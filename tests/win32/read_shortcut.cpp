// Prints a shortcut's target and working directory, one a line, as the
// shell reads them: read_shortcut.exe FILE.lnk
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>

namespace {

void print(const wchar_t* text) {
  char utf8[MAX_PATH * 3];
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  std::printf("%s\n", utf8);
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc != 2 || FAILED(CoInitialize(nullptr))) return 2;
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link))) ||
      FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) ||
      FAILED(file->Load(argv[1], STGM_READ)))
    return 1;
  wchar_t target[MAX_PATH] = L"", directory[MAX_PATH] = L"";
  link->GetPath(target, MAX_PATH, nullptr, 0);
  link->GetWorkingDirectory(directory, MAX_PATH);
  print(target);
  print(directory);
  file->Release();
  link->Release();
  CoUninitialize();
  return 0;
}
