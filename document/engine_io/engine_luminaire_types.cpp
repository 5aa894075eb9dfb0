#include "document/engine_io/engine_luminaire_types.h"

#include <algorithm>

namespace EngineIo {

bool SameType(const LuminaireType& type, const CLightDevice& device)
{
  return type.device->textA.Compare(device.textA.GetString()) == 0 &&
         type.totalFlux == device.lampFlux * device.lampCount;
}

bool MakeEngineTable(const CLightDevice& device, _LINKED_TABLE* table)
{
  using namespace IntensitySymmetry;
  const _LINKED_TABLE* stored = device.table.get();
  // Without a plane and a gamma angle there is nothing to complete nor to write.
  if (stored->rows < 2 || stored->columns < 2)
    return false;
  LinkedTableCopy(table, stored);
  const std::uint32_t word = device.symmetryWord;
  if ((word & (kPlanesComplete | kPlanesOne)) == 0)
    CompleteIntensitySymmetry(table, word);
  if ((word & kSystemC) != 0 && (word & kPlanesOne) == 0)
    RebaseIntensityPlanes(table);
  return table->rows >= 2 && table->columns >= 2;
}

unsigned LuminaireTypes::Assign(const CLightDevice& device, EngineTableMaker makeTable)
{
  std::size_t t = 0;
  while (t < types.size() && !SameType(types[t], device))
    ++t;
  if (t == types.size()) {
    LuminaireType& type = types.emplace_back();
    type.device = &device;
    type.totalFlux = device.lampFlux * device.lampCount;
    if (!makeTable(device, type.table.get()))
      return 0;
    maxAngles = std::max(maxAngles, static_cast<unsigned>(type.table->columns - 1));
    maxPlanes = std::max(maxPlanes, static_cast<unsigned>(type.table->rows - 1));
  }
  return static_cast<unsigned>(t + 1);
}

void LuminaireTypes::WriteCounts(InputText& out, std::size_t luminaires) const
{
  out.Unsigned(static_cast<unsigned>(luminaires));
  out.Unsigned(static_cast<unsigned>(types.size()));
  out.Unsigned(maxAngles);
  out.Unsigned(maxPlanes);
}

namespace {

void WriteIntensityBlock(InputText& out, const LuminaireType& type, const char* fluxFormat)
{
  const _LINKED_TABLE* t = type.table.get();
  const CLightDevice& device = *type.device;
  out.Flag((device.symmetryWord & IntensitySymmetry::kSystemC) == 0);
  if (fluxFormat)
    out.Line(fluxFormat, type.totalFlux);
  out.Unsigned(static_cast<unsigned>(t->columns - 1));
  out.Unsigned(static_cast<unsigned>(t->rows - 1));
  std::vector<double> gammas, planes;
  for (const _LINKED_TABLE_NODE* n = t->first->right; n; n = n->right)
    gammas.push_back(n->value);
  out.Values(gammas);
  for (const _LINKED_TABLE_NODE* n = t->first->down; n; n = n->down)
    planes.push_back(n->value);
  out.Values(planes);
  for (const _LINKED_TABLE_NODE* row = t->first->down; row; row = row->down) {
    // Stored per 1000 lm; the engine takes candela of the luminaire's lamps.
    std::vector<double> candela;
    for (const _LINKED_TABLE_NODE* n = row->right; n; n = n->right)
      candela.push_back(device.Candela(n->value));
    out.Values(candela);
  }
}

}  // namespace

void LuminaireTypes::WriteBlocks(InputText& out, const char* fluxFormat) const
{
  for (const LuminaireType& type : types)
    WriteIntensityBlock(out, type, fluxFormat);
}

}  // namespace EngineIo
