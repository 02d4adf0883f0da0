// Trident3 speed port classes.
#include "asicmodel/core/registrations.hpp"

namespace asicmodel {

void define_trident_three_speed_ports(Catalogue& catalogue) {
  catalogue.define("TridentThree100GPort", "TridentThreePort").build();
  catalogue.define("TridentThree25GPort", "TridentThreePort").build();
  catalogue.define("TridentThree10GPort", "TridentThreePort").build();
  catalogue.define("TridentThreeMGPort", "TridentThreePort").build();
}

}  // namespace asicmodel
