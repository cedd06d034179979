/* pinlatch.dll under Wine: loaded by name, each export bound by name with
 * GetProcAddress, called on a fake chip. User-mode in/out faults here, so a
 * vectored exception handler decodes the faulting port instruction, performs
 * it against the fake chip and steps over it. Every call is made from
 * assembly that pushes the arguments and does not clean up afterwards, so
 * the stack is balanced only if the export removed its own arguments.
 * Prints "N passed, M failed" and exits non-zero on any failure. */
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

/* Written behind the compiler's back, by the exception handler. */
static volatile uint8_t chip[65536];
static volatile int accesses;
static int passed, failed;

#define CHECK(cond, ...)                  \
  do {                                    \
    if (cond) {                           \
      ++passed;                           \
    } else {                              \
      ++failed;                           \
      printf("FAIL line %d: ", __LINE__); \
      printf(__VA_ARGS__);                \
      printf("\n");                       \
    }                                     \
  } while (0)

static LONG CALLBACK emulate_port_instruction(EXCEPTION_POINTERS* info) {
  DWORD code = info->ExceptionRecord->ExceptionCode;
  if (code != EXCEPTION_PRIV_INSTRUCTION && code != EXCEPTION_ACCESS_VIOLATION) return EXCEPTION_CONTINUE_SEARCH;
  CONTEXT* c = info->ContextRecord;
  const uint8_t* ip = (const uint8_t*)c->Eip;
  DWORD length = 0;
  int operand16 = ip[0] == 0x66;
  if (operand16) ++length;
  uint8_t opcode = ip[length++];
  uint16_t port;
  if (opcode >= 0xE4 && opcode <= 0xE7)
    port = ip[length++];
  else if (opcode >= 0xEC && opcode <= 0xEF)
    port = (uint16_t)c->Edx;
  else
    return EXCEPTION_CONTINUE_SEARCH;
  int width = (opcode & 1) ? (operand16 ? 2 : 4) : 1;
  DWORD mask = width == 4 ? 0xFFFFFFFFu : width == 2 ? 0xFFFFu : 0xFFu;
  if (opcode == 0xE4 || opcode == 0xE5 || opcode == 0xEC || opcode == 0xED) {
    DWORD value = 0;
    for (int i = width - 1; i >= 0; --i) value = (value << 8) | chip[(uint16_t)(port + i)];
    c->Eax = (c->Eax & ~mask) | value;
  } else {
    for (int i = 0; i < width; ++i) chip[(uint16_t)(port + i)] = (uint8_t)((c->Eax & mask) >> (8 * i));
  }
  ++accesses;
  c->Eip += length;
  return EXCEPTION_CONTINUE_EXECUTION;
}

static void* volatile target;
static volatile int32_t arg1, arg2;

/* Calls `fn` with one or two arguments; *imbalance is how far the stack
 * pointer moved across the call (0 when the callee popped its arguments). */
static int32_t call(void* fn, int args, int32_t a, int32_t b, int32_t* imbalance) {
  int32_t result, moved;
  target = fn;
  arg1 = a;
  arg2 = b;
  if (args == 1) {
    __asm__ volatile(
        "movl %%esp, %%esi\n\t"
        "pushl %[a]\n\t"
        "call *%[fn]\n\t"
        "movl %%esp, %%ecx\n\t"
        "subl %%esi, %%ecx\n\t"
        "movl %%esi, %%esp\n\t"
        : "=a"(result), "=c"(moved)
        : [a] "m"(arg1), [fn] "m"(target)
        : "esi", "edx", "memory", "cc");
  } else {
    __asm__ volatile(
        "movl %%esp, %%esi\n\t"
        "pushl %[b]\n\t"
        "pushl %[a]\n\t"
        "call *%[fn]\n\t"
        "movl %%esp, %%ecx\n\t"
        "subl %%esi, %%ecx\n\t"
        "movl %%esi, %%esp\n\t"
        : "=a"(result), "=c"(moved)
        : [a] "m"(arg1), [b] "m"(arg2), [fn] "m"(target)
        : "esi", "edx", "memory", "cc");
  }
  *imbalance = moved;
  return result;
}

struct exports {
  void *wep, *incriment, *input, *output;
};

static void bind_exports(HMODULE dll, struct exports* e) {
  e->wep = (void*)GetProcAddress(dll, "WEP");
  e->incriment = (void*)GetProcAddress(dll, "Incriment");
  e->input = (void*)GetProcAddress(dll, "InputPort");
  e->output = (void*)GetProcAddress(dll, "OutputPort");
}

static void exercise(const struct exports* e) {
  int32_t moved, r;
  static const struct {
    uint8_t byte;
    int32_t expected;
  } reads[] = {{0x7F, 127}, {0x80, -128}, {0xFF, -1}, {0x00, 0}};
  for (size_t i = 0; i < sizeof reads / sizeof reads[0]; ++i) {
    chip[0x296] = reads[i].byte;
    chip[0x297] = 0xAA;
    int before = accesses;
    r = call(e->input, 1, 662, 0, &moved);
    CHECK(r == reads[i].expected, "InputPort read 0x%02X as %ld", reads[i].byte, (long)r);
    CHECK(moved == 0, "InputPort left the stack off by %ld", (long)moved);
    CHECK(accesses == before + 1, "InputPort made %d port accesses", accesses - before);
  }
  chip[0x296] = 0x33;
  r = call(e->input, 1, 662 + 65536, 0, &moved);
  CHECK(r == 0x33, "InputPort(662 + 65536) gave %ld", (long)r);

  r = call(e->output, 2, 661, 39, &moved);
  CHECK(r == 39 && chip[0x295] == 0x27, "OutputPort(661, 39) gave %ld, wrote 0x%02X", (long)r, chip[0x295]);
  CHECK(moved == 0, "OutputPort left the stack off by %ld", (long)moved);
  chip[0x295] = 0;
  r = call(e->output, 2, 0x295, 0x1FF, &moved);
  CHECK(r == 255 && chip[0x295] == 0xFF, "OutputPort(0x295, 0x1FF) gave %ld, wrote 0x%02X", (long)r, chip[0x295]);
  chip[0x295] = 0;
  r = call(e->output, 2, 0x295, -1, &moved);
  CHECK(r == 255 && chip[0x295] == 0xFF && chip[0x296] == 0x33, "OutputPort(0x295, -1) gave %ld", (long)r);

  static const int32_t increments[][2] = {{0, 1}, {0x7FFF, 32768}, {0xFFFF, 0}, {-1, 0}};
  int before = accesses;
  for (size_t i = 0; i < 4; ++i) {
    r = call(e->incriment, 1, increments[i][0], 0, &moved);
    CHECK(r == increments[i][1], "Incriment(%ld) gave %ld", (long)increments[i][0], (long)r);
    CHECK(moved == 0, "Incriment left the stack off by %ld", (long)moved);
  }
  r = call(e->wep, 1, 12345, 0, &moved);
  CHECK(r == 1 && moved == 0, "WEP gave %ld, stack off by %ld", (long)r, (long)moved);
  CHECK(accesses == before, "Incriment or WEP touched a port");
}

static DWORD WINAPI idle_thread(LPVOID unused) {
  (void)unused;
  return 0;
}

int main(void) {
  AddVectoredExceptionHandler(1, emulate_port_instruction);
  HMODULE dll = LoadLibraryA("pinlatch.dll");
  CHECK(dll != NULL, "pinlatch.dll did not load (%lu)", GetLastError());
  if (!dll) goto done;

  struct exports e;
  bind_exports(dll, &e);
  CHECK(e.wep && e.incriment && e.input && e.output, "an export is missing by name");
  if (!(e.wep && e.incriment && e.input && e.output)) goto done;
  CHECK(GetProcAddress(dll, "WEP@4") == NULL, "a decorated name is exported too");
  CHECK(GetProcAddress(dll, MAKEINTRESOURCEA(1)) == e.wep && GetProcAddress(dll, MAKEINTRESOURCEA(2)) == e.incriment &&
            GetProcAddress(dll, MAKEINTRESOURCEA(3)) == e.input && GetProcAddress(dll, MAKEINTRESOURCEA(4)) == e.output,
        "ordinals 1 to 4 are not WEP, Incriment, InputPort, OutputPort");
  exercise(&e);

  /* Thread attach and detach, then unload and load again: the entry
   * routine succeeds each time and nothing changes. */
  HANDLE thread = CreateThread(NULL, 0, idle_thread, NULL, 0, NULL);
  CHECK(thread != NULL, "no thread");
  if (thread) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
  exercise(&e);
  CHECK(FreeLibrary(dll), "FreeLibrary failed");
  dll = LoadLibraryA("pinlatch.dll");
  CHECK(dll != NULL, "pinlatch.dll did not load again");
  if (dll) {
    bind_exports(dll, &e);
    exercise(&e);
  }

done:
  printf("%d passed, %d failed\n", passed, failed);
  return failed != 0 || passed == 0;
}
