#!/bin/sh
# Runs one test binary of a sanitizer build: leak checks on, the GL driver's by-design
# allocations suppressed by name (lsan.supp), its modules kept mapped so they have names.
# Usage: run_sanitized.sh KEEP_MODULES_LOADED_LIBRARY ASAN_RUNTIME GL_DRIVER COMMAND...
here=$(dirname "$0")
keep_loaded=$1
asan_runtime=$2
gl_driver=$3
shift 3
# Mesa's worker threads are ended by an exit handler while the leak check stops the process's
# threads, which now and then makes the check itself die; llvmpipe draws the same pictures on the
# calling thread, and without a shader cache there is no cache thread.
# The driver is loaded at start-up, so that it and LLVM keep their thread-local variables in
# static TLS: this LeakSanitizer misreads a dynamic TLS block that happens to start 16 bytes into
# a page as a bogus range near address 0, and crashes scanning it ("Tracer caught signal 11").
LP_NUM_THREADS=0 \
MESA_SHADER_CACHE_DISABLE=true \
LD_PRELOAD="$asan_runtime $keep_loaded $gl_driver" \
LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    exec "$@"
