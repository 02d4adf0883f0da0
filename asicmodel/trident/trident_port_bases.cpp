// Trident-family port bases: TridentThreePort, TridentTwoPort,
// TridentTwoPlusPort and TridentPort.
#include "asicmodel/core/port_naming.hpp"
#include "asicmodel/core/registrations.hpp"

namespace asicmodel {

void define_trident_port_bases(Catalogue& catalogue) {
  catalogue.define("TridentThreePort", "BCMPort")
      .attr("pbmp_map", prefixed_pbmp_map("xe", 132))
      .build();
  catalogue.define("TridentTwoPort", "BCMPort")
      .attr("pbmp_map", prefixed_pbmp_map("hg", 128))
      .build();
  catalogue.define("TridentTwoPlusPort", "TridentTwoPort").build();
  catalogue.define("TridentPort", "BCMPort")
      .attr("pbmp_map", prefixed_pbmp_map("hg", 72))
      .build();
}

}  // namespace asicmodel
