// Maverick speed port classes.
#include "asicmodel/core/registrations.hpp"

namespace asicmodel {

void define_maverick_speed_ports(Catalogue& catalogue) {
  catalogue.define("Maverick100GPort", "MaverickPort").build();
  catalogue.define("Maverick40GPort", "MaverickPort").build();
  catalogue.define("Maverick40GFabricPort", "Maverick40GPort").build();
  catalogue.define("Maverick10GPort", "MaverickPort").build();
  catalogue.define("Maverick10GFabricPort", "Maverick10GPort").build();
}

}  // namespace asicmodel
