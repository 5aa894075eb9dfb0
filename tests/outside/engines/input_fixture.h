// An engine input file written by hand, item by item, for a two-way road with a dividing strip and parapet,
// both sidewalks, the right wall, and a pole, a mast and a floor lamp of two luminaire types.
#pragma once

#include <string>

namespace Engines::testing {

inline const char kRtabPlaceholder[] = "/opt/tesmira/Bin/rtab_1.rtb";

inline std::string HandWrittenInput()
{
  return std::string() +
         "1\n"                              // carriageway takes part
         "/opt/tesmira/Bin/rtab_1.rtb\n"    // reflection table
         "0\n"                              // surface: fine-grained
         "1\n"                              // two-way
         "2\n"                              // main lanes
         "3.75\n"                           // main lane width
         "0\n"                              // opposite direction on (calculated separately)
         "3\n"                              // opposite lanes
         "3.5\n"                            // opposite lane width
         "1\n"                              // dividing strip
         "2.5\n"                            // its width
         "1\n"                              // parapet
         "0.5\n"                            // parapet width
         "0.8\n"                            // parapet height
         "1\n"                              // sidewalks take part
         "1\n2\n1.5\n"                      // right sidewalk: present, width, gap
         "1\n2.25\n0.5\n"                   // left sidewalk
         "1\n"                              // walls take part
         "1\n6\n1\n"                        // right wall: present, height, distance
         "0\n"                              // left wall absent
         "0.7\n"                            // maintenance factor
         "3\n"                              // luminaires
         "2\n"                              // types
         "3\n"                              // largest gamma count
         "5\n"                              // largest plane count
         "0\n2\n30\n10.578\n2.29\n1\n15\n0\n0\n1\n"                // pole, two-sided
         "1\n5\n25\n12\n0\n0\n0\n0\n90\n0\n0\n12.5\n2\n"          // mast, suspended
         "2\n3\n20\n4\n0.5\n0.3\n0\n-90\n1\n90\n-5\n1\n"          // floor lamp, staggered
         "30\n"                                                     // field length
         "0\n3\n5\n"                                                // type 1: C-planes
         "0\t45\t90\n"
         "-180\t-90\t0\t90\t180\n"
         "100\t80\t10\n"
         "110\t90\t20\n"
         "120\t100\t30\n"
         "110\t90\t20\n"
         "100\t80\t10\n"
         "1\n2\n2\n"                                                // type 2: B-planes
         "-90\t90\n"
         "-90\t90\n"
         "5000\t6000\n"
         "7000\t8000\n";
}

}  // namespace Engines::testing
