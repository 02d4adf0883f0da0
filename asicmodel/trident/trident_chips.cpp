// Trident-family chip classes.
#include "asicmodel/core/registrations.hpp"

namespace asicmodel {

void define_trident_chips(Catalogue& catalogue) {
  const SharedBitmaps& bitmaps = catalogue.bitmaps();
  catalogue.define("TridentPlusChip", "BCMChip").attr("base_pbmp", bitmaps.trident_plus).build();
  catalogue.define("TridentChip", "TridentPlusChip").build();
  catalogue.define("TridentTwoChip", "BCMChip").attr("base_pbmp", bitmaps.trident_two).build();
  catalogue.define("TridentTwo_56850_Chip", "TridentTwoChip").build();
  catalogue.define("TridentTwo_56854_Chip", "TridentTwoChip").build();
  catalogue.define("TridentTwoPlusChip", "TridentTwoChip").build();
  catalogue.define("TridentTwoPlus_56860_Chip", "TridentTwoPlusChip").build();
  catalogue.define("TridentTwoPlus_56864_Chip", "TridentTwoPlusChip").build();
  catalogue.define("TridentThreeX5Chip", "BCMChip").attr("base_pbmp", bitmaps.trident_plus).build();
  catalogue.define("TridentThreeX5_56771_Chip", "TridentThreeX5Chip").build();
  catalogue.define("TridentThreeX7Chip", "BCMChip")
      .attr("base_pbmp", bitmaps.trident_three_x7)
      .build();
  catalogue.define("TridentThreeX7_56870_Chip", "TridentThreeX7Chip").build();
  catalogue.define("TridentThreeX7_56873_Chip", "TridentThreeX7Chip").build();
}

}  // namespace asicmodel
