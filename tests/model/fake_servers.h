// A fake document that hands out fake outside servers: a luminaire database with one current record, a pole
// catalogue with one current pole, and a price database answering from maps. Kept free of the COM variant
// header, so that tests of the project (whose date header clashes with it) can use it too.
#pragma once

#include "fake_document.h"
#include "outside/servers/luminaire_record.h"

#include <map>
#include <memory>
#include <string>

namespace qorsrv {
struct PoleRecord;
}

class ServerDocument : public FakeDocument {
public:
  ServerDocument();
  ~ServerDocument();

  HRESULT QueryInterface(REFIID iid, void** out) override;

  // What the servers answer; an absent key is "not known" (S_FALSE).
  bool hasLuminaireDatabase = true;
  bool hasPriceDatabase = true;
  bool hasPoleCatalog = true;
  qorsrv::LuminaireRecord luminaire;  // the current luminaire
  qorsrv::PoleRecord* pole = nullptr;  // the current pole record, owned by the test; null: nothing chosen
  std::map<std::string, LONG> whole;   // "<slot>:<name>" -> hundredths or count
  std::map<std::string, double> real;  // "<slot>:<name>" -> factor or figure
  // A getter answering this failure code, as a broken server would; 0 for none.
  HRESULT failingCode = 0;
  int failingSlot = 0;

  // What the model asked.
  int selectDefaultCalls = 0;
  int selectRememberedCalls = 0;
  int recordsTaken = 0;    // luminaire records handed out
  int priceQuestions = 0;  // every getter of the price database
  std::string chosenFor;
  std::string remembered;

private:
  struct Servers;
  std::unique_ptr<Servers> m_servers;
};
