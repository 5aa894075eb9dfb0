// The drawings inside the library's block of the project file (after "GRFC", version, byte count), little-endian:
//   u32 project count; i32 current id
//   per project: i32 id; str path; u32 layer count, per layer: str name, i32 colour, u8 on
//                u32 figure count, per figure: u8 kind, i32 layer, i32 colour, u8 closed, f64 height,
//                f64 rotation, str text, u32 point count, points (3 f64 each)
//                u32 snap point count, points
//   str: u32 byte count, the bytes (cp1251)
// Every count is checked against the bytes left before anything is allocated.
#pragma once

#include "outside/grafocore/dxf/dxf_drawing.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace grafocore {

struct Project {
  std::string path;
  dxf::Drawing drawing;
  dxf::Point centre;  // of the drawing's box: the drawing is shown with it at the area's origin
};

struct Projects {
  std::map<int, std::shared_ptr<Project>> byId;
  int current = 0;
};

std::string EncodeProjects(const Projects& projects);
// False (projects left empty) when the bytes are not a whole, sound encoding.
bool DecodeProjects(std::string_view bytes, Projects& projects);

// The box centre of a drawing (origin for one without figures).
dxf::Point CentreOf(const dxf::Drawing& drawing);

}  // namespace grafocore
