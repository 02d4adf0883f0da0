// Maverick, Tomahawk and Tomahawk2 port bases.
#include "asicmodel/core/port_naming.hpp"
#include "asicmodel/core/registrations.hpp"

namespace asicmodel {

void define_tomahawk_maverick_port_bases(Catalogue& catalogue) {
  catalogue.define("MaverickPort", "BCMPort").attr("pbmp_map", prefixed_pbmp_map("xe", 74)).build();
  catalogue.define("TomahawkPort", "BCMPort").attr("pbmp_map", prefixed_pbmp_map("xe", 132)).build();
  catalogue.define("TomahawkTwoPort", "TomahawkPort").build();
}

}  // namespace asicmodel
