// Triumph, Apollo, Helix4 and Hurricane2 port classes.
#include "asicmodel/core/registrations.hpp"

namespace asicmodel {

void define_earlier_family_ports(Catalogue& catalogue) {
  catalogue.define("TriumphPort", "BCMPort").build();
  catalogue.define("ApolloPort", "BCMPort").build();
  catalogue.define("Helix4Port", "BCMPort").build();
  catalogue.define("Hurricane2Port", "BCMPort").build();
  catalogue.define("Apollo1GPort", "ApolloPort").build();
  catalogue.define("Triumph1GPort", "TriumphPort").build();
  catalogue.define("Helix41GPort", "Helix4Port").build();
  catalogue.define("Hurricane21GPort", "Hurricane2Port").build();
  catalogue.define("Apollo10GPort", "ApolloPort").build();
  catalogue.define("Triumph10GPort", "TriumphPort").build();
  catalogue.define("Helix410GPort", "Helix4Port").build();
  catalogue.define("Hurricane210GPort", "Hurricane2Port").build();
  catalogue.define("Hurricane213GPort", "Hurricane2Port").build();
  catalogue.define("Hurricane213GFabricPort", "Hurricane213GPort").build();
}

}  // namespace asicmodel
