// Mesa's off-screen library keeps a framebuffer per drawable size for the life of the process and never frees
// it; those allocations are not ours to mend. Read by LeakSanitizer in this test program only.
extern "C" const char* __lsan_default_suppressions()
{
  return "leak:libOSMesa.so\n";
}
