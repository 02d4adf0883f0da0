// Trident-family chip classes: a family class per generation with what its
// chips share, and a class per part number with its PCI and part data.
// Each constructor puts its own, more specific data directory in front of
// the search list its base built.
#include "asicmodel/core/chip_base.hpp"
#include "asicmodel/core/family_tables.hpp"
#include "asicmodel/core/registrations.hpp"

namespace asicmodel {

namespace {

// The chip data files each generation provides, one list object per form.
struct FileLists {
  py::tuple trident = texts({"datapath.conf", "rc.forwarding", "hw_desc", "sdk.bcm"});
  py::tuple trident_two = trident + texts({"uft.json"});
  py::tuple trident_two_plus = trident_two + texts({"riot.json"});
};


}  // namespace

void define_trident_chips(Catalogue& catalogue) {
  const SharedBitmaps& bitmaps = catalogue.bitmaps();
  const FileLists files;
  const py::bool_ yes(true);

  ClassBuilder trident_plus =
      catalogue.define("TridentPlusChip", "BCMChip", "Trident+ chip common attributes");
  trident_plus.attr("portmap_capable", yes)
      .attr("base_pbmp", bitmaps.trident_plus)
      .attr("file_list", files.trident)
      .attr("port_channel_type_map",
            port_channel_types(catalogue, "Trident10GPort", "Trident40GPort"));
  chip_constructor_with_suffix(trident_plus, "BCMChip", "/Trident").build();

  catalogue.define("TridentChip", "TridentPlusChip", "Same as Trident+, but with a smaller host table")
      .attr("ipv4_host_table_size", py::int_(4096))
      .build();

  ClassBuilder trident_two =
      catalogue.define("TridentTwoChip", "BCMChip", "Trident2 chip common attributes");
  trident_two.attr("portmap_capable", yes)
      .attr("mixed_oversub", yes)
      .attr("ipv4_host_table_size", py::int_(16384))
      .attr("base_pbmp", bitmaps.trident_two)
      .attr("file_list", files.trident_two)
      .attr("port_channel_type_map",
            port_channel_types(catalogue, "TridentTwo10GPort", "TridentTwo40GPort"));
  chip_constructor_with_suffix(trident_two, "BCMChip", "/TridentTwo").build();

  define_part_chip(catalogue, "TridentTwo_56850_Chip", "TridentTwoChip", "/56850",
              {{"pci_device", py::int_(0xB850)}, {"bcm_pn", py::str("56850")},
               {"hsp_bw", py::int_(100)}});
  define_part_chip(catalogue, "TridentTwo_56854_Chip", "TridentTwoChip", "/56854",
              {{"pci_device", py::int_(0xB854)}, {"bcm_pn", py::str("56854")},
               {"hsp_bw", py::int_(40)}});

  // A later generation: its directory is a sibling of the Trident2 one
  // ("/bcm/TridentTwo" + "Plus"), which stays behind it as a fallback.
  ClassBuilder trident_two_plus =
      catalogue.define("TridentTwoPlusChip", "TridentTwoChip", "Trident2 Plus chip common attributes");
  trident_two_plus.attr("file_list", files.trident_two_plus)
      .attr("port_channel_type_map",
            port_channel_types(catalogue, "TridentTwoPlus10GPort", "TridentTwoPlus40GPort"))
      .attr("dport_capable", yes)
      .attr("mixed_oversub", yes)
      .attr("ipv4_host_table_size", py::int_(16384));
  chip_constructor_with_suffix(trident_two_plus, "TridentTwoChip", "Plus").build();

  define_part_chip(catalogue, "TridentTwoPlus_56860_Chip", "TridentTwoPlusChip", "/56860", {});
  define_part_chip(catalogue, "TridentTwoPlus_56864_Chip", "TridentTwoPlusChip", "/56864",
              {{"hsp_bw", py::int_(40)}});

  ClassBuilder x5 = catalogue.define("TridentThreeX5Chip", "BCMChip", "Trident3 X5 chip common attributes");
  x5.attr("needs_lane_config", yes)
      .attr("portmap_capable", yes)
      .attr("dport_capable", yes)
      .attr("mixed_oversub", yes)
      .attr("ipv4_host_table_size", py::int_(40960))
      .attr("base_pbmp", bitmaps.trident_plus)
      .attr("file_list", files.trident_two_plus)
      .attr("port_channel_type_map",
            port_channel_types(catalogue, "TridentThree25GPort", "TridentThree100GPort"));
  chip_constructor_with_suffix(x5, "BCMChip", "/TridentThreeX5").build();

  define_part_chip(catalogue, "TridentThreeX5_56771_Chip", "TridentThreeX5Chip", "/56771",
              {{"pci_device", py::int_(0xB771)}, {"bcm_pn", py::str("56771")}});

  ClassBuilder x7 = catalogue.define("TridentThreeX7Chip", "BCMChip", "Trident3 X7 chip common attributes");
  x7.attr("portmap_capable", yes)
      .attr("dport_capable", yes)
      .attr("mixed_oversub", yes)
      .attr("ipv4_host_table_size", py::int_(40960))
      .attr("base_pbmp", bitmaps.trident_three_x7)
      .attr("file_list", files.trident_two_plus)
      .attr("port_channel_type_map",
            port_channel_types(catalogue, "TridentThree25GPort", "TridentThree100GPort"));
  chip_constructor_with_suffix(x7, "BCMChip", "/TridentThreeX7").build();

  define_part_chip(catalogue, "TridentThreeX7_56870_Chip", "TridentThreeX7Chip", "/56870",
              {{"pci_device", py::int_(0xB870)}, {"bcm_pn", py::str("56870")}});
  define_part_chip(catalogue, "TridentThreeX7_56873_Chip", "TridentThreeX7Chip", "/56873",
              {{"pci_device", py::int_(0xB873)}, {"bcm_pn", py::str("56873")}});
}

}  // namespace asicmodel
