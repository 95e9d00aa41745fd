// The frame around every window procedure of the program: an escaping exception is unhandled.
#include "framework/WindowProcGuard.h"

namespace {
// What the outermost frame of a thread does with an exception nobody handled: the process's filter
// and error reporting (or a just-in-time debugger) see it, then the process ends with its code. The
// end comes here, because a frame further out may swallow the exception instead of handing the
// debugger its second chance; so the filter never asks to run a handler body, and nothing unwinds.
LONG EndAsUnhandled(EXCEPTION_POINTERS* pointers) {
    const LONG verdict = ::UnhandledExceptionFilter(pointers);
    if (verdict != EXCEPTION_CONTINUE_EXECUTION) {
        ::TerminateProcess(::GetCurrentProcess(), pointers->ExceptionRecord->ExceptionCode);
    }
    // A debugger repaired the fault.
    return verdict;
}
} // namespace

#if defined(_MSC_VER)

LRESULT CallWindowProcGuarded(WNDPROC proc, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    __try {
        return proc(hWnd, message, wParam, lParam);
    } __except (EndAsUnhandled(GetExceptionInformation())) {
        return 0;
    }
}

#elif defined(__x86_64__)

// GCC has no __try. The frame is described in this function's unwind data the way a compiler does
// for __try/__except: one scope from guard_begin to guard_end whose filter __C_specific_handler calls.
// The scope record goes to the unwind data's section; assembly then goes on in .text, where this
// function lives.
extern "C" LONG VentiqWindowProcFilter(EXCEPTION_POINTERS* pointers, void* /*establisherFrame*/) {
    return EndAsUnhandled(pointers);
}

__attribute__((noinline)) LRESULT CallWindowProcGuarded(WNDPROC proc, HWND hWnd, UINT message, WPARAM wParam,
                                                        LPARAM lParam) {
    asm volatile(".Lguard_begin:\n\t"
                 ".seh_handler __C_specific_handler, @except\n\t"
                 ".seh_handlerdata\n\t"
                 ".long 1\n\t"
                 ".rva .Lguard_begin, .Lguard_end, VentiqWindowProcFilter, .Lguard_end\n\t"
                 ".text" ::
                     : "memory");
    const LRESULT result = proc(hWnd, message, wParam, lParam);
    // The call's return address must lie inside the scope.
    asm volatile("nop\n.Lguard_end:\n\tnop" ::: "memory");
    return result;
}

#else // 32-bit x86 with GCC

namespace {
EXCEPTION_DISPOSITION NTAPI GuardHandler(EXCEPTION_RECORD* record, void* /*frame*/, CONTEXT* context,
                                         void* /*dispatcherContext*/) {
    if ((record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) != 0) {
        return ExceptionContinueSearch;
    }
    EXCEPTION_POINTERS pointers{record, context};
    return EndAsUnhandled(&pointers) == EXCEPTION_CONTINUE_EXECUTION ? ExceptionContinueExecution
                                                                     : ExceptionContinueSearch;
}
} // namespace

// On x86 a frame is a record on the stack linked at the head of the thread's handler chain, which
// starts at fs:0.
LRESULT CallWindowProcGuarded(WNDPROC proc, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    EXCEPTION_REGISTRATION_RECORD guard{};
    guard.Handler = &GuardHandler;
    asm volatile("movl %%fs:0, %0" : "=r"(guard.Next));
    asm volatile("movl %0, %%fs:0" ::"r"(&guard) : "memory");
    const LRESULT result = proc(hWnd, message, wParam, lParam);
    asm volatile("movl %0, %%fs:0" ::"r"(guard.Next) : "memory");
    return result;
}

#endif
