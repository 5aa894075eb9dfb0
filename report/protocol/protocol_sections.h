// The sections of the two protocols the report view builds on the frame: the straight road's, and those of open
// sites and interchanges.
#pragma once

#include "report/protocol/protocol_frame.h"

class CLightDevice;

class CStraightRoadSections : public CProtocolSections {
public:
  bool InputData(CProtocolFrame& frame) override;
  bool GroupData(CProtocolFrame& frame) override;
  void Group(CProtocolFrame& frame, IGroupOfDev* group) override;
  bool Summary(CProtocolFrame& frame) override;
  void Results(CProtocolFrame& frame) override;
  void EconomicSection(CProtocolFrame& frame) override;

private:
  void WritePlacement(CProtocolFrame& frame, IGroupOfDev* group, const CString& title, bool luminaireOn);
  void WriteLuminaire(CProtocolFrame& frame, IGroupOfDev* group);
};

class COpenSiteSections : public CProtocolSections {
public:
  bool InputData(CProtocolFrame& frame) override;
  bool GroupData(CProtocolFrame& frame) override;
  void Group(CProtocolFrame& frame, IGroupOfDev* group) override;
  bool Summary(CProtocolFrame& frame) override;
  void Results(CProtocolFrame& frame) override;
  void EconomicSection(CProtocolFrame& frame) override;

private:
  void WritePlacement(CProtocolFrame& frame, IGroupOfDev* group, const CString& title);
};

// The groups' common data (item 102), alike in both protocols.
bool WriteGroupData(CProtocolFrame& frame);

// The two intensity diagrams of a group's luminaire, polar and Cartesian, under their sub-headings.
void WriteIntensityDiagrams(CProtocolFrame& frame, const CLightDevice& luminaire);

// The summary of a straight road against its norms (item 106); false when it is off.
bool WriteStraightRoadSummary(CProtocolFrame& frame);
