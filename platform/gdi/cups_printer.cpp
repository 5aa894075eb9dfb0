#include "platform/gdi/cups_printer.h"

#include <cups/cups.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace gdi::cups {

namespace {

bool g_serverNamed = false;

bool ServerAllowed()
{
  if (g_serverNamed) {
    return true;
  }
  const char* test = std::getenv("TESMIRA_TEST");
  if (test != nullptr && *test != '\0' && std::strcmp(test, "0") != 0) {
    return std::getenv("CUPS_SERVER") != nullptr;
  }
  return true;
}

}  // namespace

void SetServer(const std::string& server)
{
  g_serverNamed = !server.empty();
  cupsSetServer(server.empty() ? nullptr : server.c_str());
}

std::vector<Printer> ListPrinters()
{
  std::vector<Printer> printers;
  if (!ServerAllowed()) {
    return printers;
  }
  cups_dest_t* dests = nullptr;
  const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  for (int i = 0; i < count; ++i) {
    const cups_dest_t& d = dests[i];
    if (d.instance != nullptr || d.name == nullptr) {
      continue;  // instances are the same queue with other options
    }
    Printer p;
    p.name = d.name;
    if (const char* info = cupsGetOption("printer-info", d.num_options, d.options); info != nullptr) {
      p.info = info;
    }
    p.isDefault = d.is_default != 0;
    printers.push_back(std::move(p));
  }
  cupsFreeDests(count, dests);
  return printers;
}

bool HasPrinter(const std::string& name)
{
  for (const Printer& p : ListPrinters()) {
    if (p.name == name) {
      return true;
    }
  }
  return false;
}

std::string DefaultPrinter()
{
  for (const Printer& p : ListPrinters()) {
    if (p.isDefault) {
      return p.name;
    }
  }
  return {};
}

int SubmitPdf(const std::string& queue, const std::string& path, const std::string& title, std::string& error,
              int copies, bool collate)
{
  error.clear();
  if (!ServerAllowed()) {
    error = "no print server";
    return 0;
  }
  int count = 0;
  cups_option_t* options = nullptr;
  if (copies > 1) {
    count = cupsAddOption("copies", std::to_string(copies).c_str(), count, &options);
    count = cupsAddOption("multiple-document-handling",
                          collate ? "separate-documents-collated-copies" : "separate-documents-uncollated-copies",
                          count, &options);
  }
  const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, queue.c_str(), path.c_str(), title.c_str(), count, options);
  cupsFreeOptions(count, options);
  if (job <= 0) {
    const char* why = cupsLastErrorString();
    error = why != nullptr && *why != '\0' ? why : "the print server refused the job";
    return 0;
  }
  return job;
}

}  // namespace gdi::cups
