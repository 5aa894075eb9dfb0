// The scene's textures: bitmap resources of the program made into mipmapped OpenGL textures, by resource id.
// One registry per process, made on first use. Textures belong to the context that was current when they were
// loaded: in another context they are loaded again under new names. Without a current context nothing is loaded
// and no GL call is made.
#pragma once

#include "platform/base/wintypes.h"

#include <map>

// The ten scene textures (24-bit bitmaps of the program's resources). A facade tile is one storey: 6 m x 3 m.
inline constexpr int kTextureAsphalt = 326;
inline constexpr int kTextureFacadeEnd = 717;      // a block's end facing a recessed section
inline constexpr int kTextureBalcony = 718;
inline constexpr int kTexturePaving = 719;
inline constexpr int kTextureFacade = 720;         // the long sides and outer ends of the blocks
inline constexpr int kTextureSectionFront = 721;   // the recessed fronts between blocks
inline constexpr int kTextureBrick = 722;
inline constexpr int kTextureGrass = 723;
inline constexpr int kTextureRoof = 724;
inline constexpr int kTextureParapet = 725;
// In the order LoadAll loads them.
inline constexpr int kSceneTextureIds[10] = {326, 720, 721, 722, 723, 719, 717, 718, 724, 725};

class CTextureRegistry {
public:
  static CTextureRegistry* GetInstance();

  void LoadAll();
  // A texture name for the id and its picture when the bitmap loads; a failed load keeps an empty texture.
  // An id already holding a texture of the current context keeps it, so names stay stable across repeated loads.
  void Load(int resourceId);
  // The texture name; 0 for id 0 and for an id not loaded.
  UINT Get(int resourceId) const;
  // Deletes the textures (when their context is current) and forgets every id; for a context going away.
  void Clear();

private:
  CTextureRegistry() = default;

  std::map<int, UINT> m_textures;
  // The context the names belong to.
  HGLRC m_context = nullptr;
};
