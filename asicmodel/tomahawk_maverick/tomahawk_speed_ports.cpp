// Tomahawk and Tomahawk2 speed port classes.
#include "asicmodel/core/registrations.hpp"

namespace asicmodel {

void define_tomahawk_speed_ports(Catalogue& catalogue) {
  catalogue.define("Tomahawk100GPort", "TomahawkPort").build();
  catalogue.define("Tomahawk100GFabricPort", "Tomahawk100GPort").build();
  catalogue.define("Tomahawk25GPort", "TomahawkPort").build();
  catalogue.define("TomahawkMgmt10GPort", "TomahawkPort").build();
  catalogue.define("TomahawkTwo100GPort", "TomahawkTwoPort").build();
}

}  // namespace asicmodel
