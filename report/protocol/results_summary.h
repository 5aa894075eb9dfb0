// The results summary: every area whose lighting output is on, side by side, one table per zone of the road
// (carriageway, sidewalks, building walls), values bold in blue or red against the area's norms.
#pragma once

class CRTFWriter;
struct IQorRoadDoc;

// Builds the report view's summary into its closed writer and leaves the writer open (the view streams and
// closes it). `neverBuilt` is the view's flag, cleared here once an area with results is met. 0 when the writer
// was open already or cannot be opened; else 1.
int BuildResultsSummary(IQorRoadDoc* document, CRTFWriter& writer, int& neverBuilt);
