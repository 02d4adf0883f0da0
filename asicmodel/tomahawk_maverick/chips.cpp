// Tomahawk, Maverick and earlier-family chip classes.
#include "asicmodel/core/registrations.hpp"

namespace asicmodel {

void define_tomahawk_maverick_chips(Catalogue& catalogue) {
  const SharedBitmaps& bitmaps = catalogue.bitmaps();
  catalogue.define("TomahawkChip", "BCMChip").attr("base_pbmp", bitmaps.tomahawk).build();
  catalogue.define("TomahawkPlusChip", "TomahawkChip").attr("base_pbmp", bitmaps.tomahawk).build();
  catalogue.define("TomahawkPlus_56967_Chip", "TomahawkPlusChip").build();
  catalogue.define("TomahawkPlus_56965_Chip", "TomahawkPlusChip").build();
  catalogue.define("TomahawkTwoChip", "TomahawkChip").attr("base_pbmp", bitmaps.tomahawk).build();
  catalogue.define("TomahawkTwo_56970_Chip", "TomahawkTwoChip").build();
  catalogue.define("MaverickChip", "BCMChip").attr("base_pbmp", bitmaps.maverick).build();
  catalogue.define("Maverick_56762_Chip", "MaverickChip").build();
  catalogue.define("Maverick_56768_Chip", "MaverickChip").build();
  catalogue.define("TriumphChip", "BCMChip").attr("base_pbmp", py::int_(1)).build();
  catalogue.define("ApolloChip", "BCMChip").attr("base_pbmp", py::int_(1)).build();
  catalogue.define("Helix4Chip", "BCMChip").attr("base_pbmp", bitmaps.helix4).build();
  catalogue.define("Hurricane2Chip", "BCMChip").attr("base_pbmp", py::int_(1)).build();
}

}  // namespace asicmodel
