// The sections of the two protocols the report view builds on the frame: the straight road's, and those of open
// sites and interchanges.
#pragma once

#include "report/protocol/protocol_frame.h"

class CStraightRoadSections : public CProtocolSections {
public:
  bool Summary(CProtocolFrame& frame) override;
  void EconomicSection(CProtocolFrame& frame) override;
};

class COpenSiteSections : public CProtocolSections {
public:
  void EconomicSection(CProtocolFrame& frame) override;
};

// The summary of a straight road against its norms (item 106); false when it is off.
bool WriteStraightRoadSummary(CProtocolFrame& frame);
