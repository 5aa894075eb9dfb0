// The luminaire types of an engine input file and the intensity block each of them gets.
#pragma once

#include "document/engine_io/engine_input_text.h"
#include "model/intensity_table.h"
#include "model/light_device.h"

#include <vector>

namespace EngineIo {

// A luminaire type: same text A and exactly the same total flux.
struct LuminaireType {
  const CLightDevice* device = nullptr;  // of its first luminaire
  double totalFlux = 0.0;
  CLinkedTable table;                    // completed and re-based as the engine takes it
};

bool SameType(const LuminaireType& type, const CLightDevice& device);

// The table as the engine takes it: completed by symmetry unless it is complete or of one plane, and re-based to
// planes -180..180 when it is of C-planes. False when it leaves the engine nothing to calculate with.
bool MakeEngineTable(const CLightDevice& device, _LINKED_TABLE* table);

// Fills `table` from the device; false when the result leaves the engine nothing to calculate with.
using EngineTableMaker = bool (*)(const CLightDevice& device, _LINKED_TABLE* table);

// The types met so far, in order of first appearance, with the largest table met.
struct LuminaireTypes {
  std::vector<LuminaireType> types;
  unsigned maxAngles = 0;
  unsigned maxPlanes = 0;

  // The device's type number from 1, a new type when none matches; 0 when a new type's table cannot be made.
  unsigned Assign(const CLightDevice& device, EngineTableMaker makeTable = MakeEngineTable);

  // Luminaire count, type count, largest gamma count, largest plane count.
  void WriteCounts(InputText& out, std::size_t luminaires) const;
  // Per type: 0 for C-planes (else 1), the flux line when `fluxFormat` is given, gamma count, plane count, the
  // gamma angles, the plane angles, then per plane its candela.
  void WriteBlocks(InputText& out, const char* fluxFormat) const;
};

}  // namespace EngineIo
