// Mesa's off-screen library keeps a framebuffer per drawable size for the life of the process; fontconfig keeps
// two small records of a second program start in the same process (a test's second session). Neither is ours
// to free. Read by LeakSanitizer in this test program only.
extern "C" const char* __lsan_default_suppressions()
{
  return "leak:libOSMesa.so\nleak:libfontconfig.so\n";
}
