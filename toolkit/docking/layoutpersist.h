// Saving, loading and copying whole docking layouts. A saved layout is a "Summary" section (node count, schema,
// top container, client) and one section "Pane-<n>" per node, numbered in node-list order; containers name their
// children by those numbers. It is read back as hostile input: the loader accepts only a tree (every node held by
// one container at most, none its own ancestor, each child of a kind its container can hold).
#pragma once

#include "toolkit/docking/layout.h"

#include <vector>

// The application's section of saved layouts; each layout is a key below it.
inline constexpr char kTKDockingPaneLayoutsSection[] = "DockingPaneLayouts";

// The nodes of a load in progress, by saved index (entry 0 unused), and which of them a container took.
struct CTKDockingPaneLoadState {
  std::vector<CTKDockingPaneBase*> nodes{nullptr};
  std::vector<bool> claimed{false};
};
