/* Preloaded into every process of the private 32-bit Wine: puts back the trap number that qemu leaves out of a guest fault's signal context. */
/*
 * Wine's i386 signal handlers pick the Windows exception code from the trap
 * number in the signal context (page fault, divide error, breakpoint, ...).
 * qemu-user delivers guest faults with that number at -1, so Wine would report
 * every access violation, stack overflow and divide by zero as an illegal
 * instruction. This library stands between Wine and sigaction(): for the fault
 * signals it installs its own handler, which derives the trap number from the
 * signal and its si_code as the kernel would have set it, then calls Wine's.
 *
 * The handler runs before Wine has restored its own segment registers, so it
 * must not touch thread-local storage: no libc calls, no errno, no stack
 * protector (built with -fno-stack-protector).
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <signal.h>
#include <stddef.h>
#include <ucontext.h>

enum {
  TRAP_DIVIDE = 0, TRAP_SINGLE_STEP = 1, TRAP_BREAKPOINT = 3, TRAP_INVALID_OPCODE = 6,
  TRAP_PROTECTION = 13, TRAP_PAGE_FAULT = 14, TRAP_X87_ERROR = 16, TRAP_ALIGNMENT = 17,
};

typedef void (*InfoHandler)(int, siginfo_t *, void *);
typedef int (*SigactionFunction)(int, const struct sigaction *, struct sigaction *);

static InfoHandler wine_handlers[NSIG];

static int is_fault_signal(int sig) {
  return sig == SIGSEGV || sig == SIGBUS || sig == SIGILL || sig == SIGFPE || sig == SIGTRAP;
}

/* The trap number the processor raised for this signal, as Linux reports it. */
static int trap_number(int sig, int code) {
  switch (sig) {
  case SIGSEGV:
    return code == SEGV_MAPERR || code == SEGV_ACCERR ? TRAP_PAGE_FAULT : TRAP_PROTECTION;
  case SIGBUS:
    return code == BUS_ADRALN ? TRAP_ALIGNMENT : TRAP_PAGE_FAULT;
  case SIGILL:
    return TRAP_INVALID_OPCODE;
  case SIGFPE:
    return code == FPE_INTDIV || code == FPE_INTOVF ? TRAP_DIVIDE : TRAP_X87_ERROR;
  default: /* SIGTRAP */
    return code == TRAP_TRACE ? TRAP_SINGLE_STEP : TRAP_BREAKPOINT;
  }
}

static void fill_trap_number(int sig, siginfo_t *info, void *context) {
  greg_t *trap = &((ucontext_t *)context)->uc_mcontext.gregs[REG_TRAPNO];
  if (*trap < 0 || *trap > 31) *trap = trap_number(sig, info->si_code);
  wine_handlers[sig](sig, info, context);
}

int sigaction(int sig, const struct sigaction *act, struct sigaction *old) {
  static SigactionFunction next_sigaction;
  if (!next_sigaction) next_sigaction = (SigactionFunction)dlsym(RTLD_NEXT, "sigaction");
  if (!act || !is_fault_signal(sig) || !(act->sa_flags & SA_SIGINFO)) return next_sigaction(sig, act, old);

  InfoHandler previous = wine_handlers[sig];
  wine_handlers[sig] = act->sa_sigaction;
  struct sigaction ours = *act;
  ours.sa_sigaction = fill_trap_number;
  int result = next_sigaction(sig, &ours, old);
  if (old && (old->sa_flags & SA_SIGINFO) && old->sa_sigaction == fill_trap_number) old->sa_sigaction = previous;
  return result;
}
