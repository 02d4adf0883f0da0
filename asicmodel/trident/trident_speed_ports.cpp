// Trident, Trident2 and Trident2+ speed port classes.
#include "asicmodel/core/registrations.hpp"

namespace asicmodel {

void define_trident_speed_ports(Catalogue& catalogue) {
  catalogue.define("Trident10GPort", "TridentPort").build();
  catalogue.define("TridentTwo10GPort", "TridentTwoPort").build();
  catalogue.define("TridentTwo10GFabricPort", "TridentTwo10GPort").build();
  catalogue.define("TridentTwoPlus10GPort", "TridentTwoPlusPort").build();
  catalogue.define("Trident40GPort", "TridentPort").build();
  catalogue.define("TridentTwo40GPort", "TridentTwoPort").build();
  catalogue.define("TridentTwoPlus40GPort", "TridentTwoPlusPort").build();
}

}  // namespace asicmodel
