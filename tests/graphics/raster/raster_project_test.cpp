// A project whose open site has a raster underlay, saved and opened again through the full render core: the
// raster comes back under its id with its tiles and pixels, and the area keeps its underlay.
#include "graphics/raster/raster_store.h"
#include "model/iarea.h"
#include "tests/graphics/core_fixture.h"

#include <filesystem>

namespace {

TEST_F(CoreTest, ProjectWithAnUnderlayRoundTripsIdsTilesAndPixels)
{
  ASSERT_NO_FATAL_FAILURE(MakeDocument());
  CRasterStore& store = *CRasterStore::GetInstance();
  auto raster = std::make_unique<CDibFromFile>();
  raster->Create(300, 90);
  for (int row = 0; row < 90; ++row)
    for (int column = 0; column < 300; ++column)
      raster->PixelAt(column, row)[1] = static_cast<BYTE>(column + row);
  raster->m_path = "/plans/site.bmp";
  raster->PadToTiles(2048);
  raster->SetGeometry(60, 18);
  raster->MakeTiles();
  const int id = store.Add(std::move(raster));
  ASSERT_EQ(id, 1);
  ActiveArea()->SetUnderlayId(&id);

  const std::string path = (std::filesystem::path(::testing::TempDir()) / "underlay.qorr5").string();
  ASSERT_TRUE(document->OnSaveDocument(path.c_str()));
  store.Clear();
  ASSERT_NO_FATAL_FAILURE(MakeDocument(path));

  EXPECT_EQ(*ActiveArea()->GetUnderlayId(), id);
  EXPECT_EQ(Core().GetUnderlayPath(id), CString("/plans/site.bmp"));
  const CDibFromFile* loaded = store.Find(id);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->m_tileSize, 128);
  EXPECT_EQ(loaded->m_across, 3);
  EXPECT_EQ(loaded->m_down, 1);
  EXPECT_DOUBLE_EQ(loaded->m_widthMetres, 60);
  ASSERT_EQ(loaded->GetTiles().size(), 3u);
  // On the 384 x 128 canvas the picture starts 42 columns in and 19 rows up.
  EXPECT_EQ(loaded->PixelAt(42 + 10, 19 + 5)[1], 15);
  EXPECT_EQ(loaded->GetTiles()[1]->PixelAt(42 + 100 - 128, 19 + 5)[1], 105);
  EXPECT_EQ(loaded->PixelAt(41, 19)[1], 255);

  // A copied object gets a raster of its own.
  int copied = id;
  Core().CloneUnderlay(&copied);
  EXPECT_EQ(copied, 2);
  ASSERT_NE(store.Find(2), nullptr);
  EXPECT_EQ(store.Find(2)->GetTiles().size(), 3u);
  store.Clear();
}

}  // namespace
