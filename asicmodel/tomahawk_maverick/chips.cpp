// Tomahawk, Tomahawk+, Tomahawk2, Maverick, Triumph, Apollo, Helix4 and
// Hurricane2 chip classes: PCI identity, table sizes, base port bitmaps,
// configuration capabilities, data files and data directories.
#include "asicmodel/core/chip_base.hpp"
#include "asicmodel/core/family_tables.hpp"
#include "asicmodel/core/registrations.hpp"

namespace asicmodel {

namespace {

// What every Tomahawk-family class (Tomahawk, Tomahawk+, Tomahawk2) sets in
// its own body: data files, port-map and Dport capability, mixed
// oversubscription, and the family's port classes in a map of its own.
void tomahawk_family_values(Catalogue& catalogue, ClassBuilder& chip, const py::tuple& files) {
  chip.attr("file_list", files)
      .attr("portmap_capable", py::bool_(true))
      .attr("dport_capable", py::bool_(true))
      .attr("mixed_oversub", py::bool_(true))
      .attr("needs_lane_config", py::bool_(false))
      .attr("port_channel_type_map",
            port_channel_types(catalogue, "Tomahawk25GPort", "Tomahawk100GPort"));
}

// The earlier families: a base bitmap, a table size and two or four data
// files; no port map.
void earlier_family_chip(Catalogue& catalogue, const char* name, const py::object& base_pbmp,
                         int ipv4_host_table_size, const py::tuple& files, const char* suffix) {
  ClassBuilder chip = catalogue.define(name, "BCMChip");
  chip.attr("ipv4_host_table_size", py::int_(ipv4_host_table_size))
      .attr("base_pbmp", base_pbmp)
      .attr("file_list", files)
      .attr("portmap_capable", py::bool_(false));
  chip_constructor_with_suffix(chip, "BCMChip", suffix).build();
}

}  // namespace

void define_tomahawk_maverick_chips(Catalogue& catalogue) {
  const SharedBitmaps& bitmaps = catalogue.bitmaps();
  const py::tuple tomahawk_files =
      texts({"datapath.conf", "rc.forwarding", "hw_desc", "sdk.bcm", "uft.json"});

  ClassBuilder tomahawk =
      catalogue.define("TomahawkChip", "BCMChip", "Tomahawk chip common attributes");
  tomahawk.attr("pci_device", py::int_(0xB960))
      .attr("bcm_pn", py::str("56960"))
      .attr("ipv4_host_table_size", py::int_(40960))
      .attr("base_pbmp", bitmaps.tomahawk);
  tomahawk_family_values(catalogue, tomahawk, tomahawk_files);
  chip_constructor_with_suffix(tomahawk, "BCMChip", "/Tomahawk").build();

  // "Plus" and "Two" name sibling directories: /bcm/TomahawkPlus, not
  // /bcm/Tomahawk/Plus.
  ClassBuilder plus =
      catalogue.define("TomahawkPlusChip", "TomahawkChip", "Tomahawk Plus chip common attributes");
  plus.attr("ipv4_host_table_size", py::int_(40960)).attr("base_pbmp", bitmaps.tomahawk);
  tomahawk_family_values(catalogue, plus, tomahawk_files);
  chip_constructor_with_suffix(plus, "TomahawkChip", "Plus").build();

  define_part_chip(catalogue, "TomahawkPlus_56967_Chip", "TomahawkPlusChip", "/56967",
                   {{"pci_device", py::int_(0xB967)}, {"bcm_pn", py::str("56967")}});
  define_part_chip(catalogue, "TomahawkPlus_56965_Chip", "TomahawkPlusChip", "/56965",
                   {{"pci_device", py::int_(0xB965)}, {"bcm_pn", py::str("56965")}});

  ClassBuilder two =
      catalogue.define("TomahawkTwoChip", "TomahawkChip", "Tomahawk Two chip common attributes");
  two.attr("ipv4_host_table_size", py::int_(40960)).attr("base_pbmp", bitmaps.tomahawk);
  tomahawk_family_values(catalogue, two, tomahawk_files);
  chip_constructor_with_suffix(two, "TomahawkChip", "Two").build();

  define_part_chip(catalogue, "TomahawkTwo_56970_Chip", "TomahawkTwoChip", "/56970",
                   {{"pci_device", py::int_(0xB970)}, {"bcm_pn", py::str("56970")}});

  ClassBuilder maverick = catalogue.define("MaverickChip", "BCMChip");
  maverick.attr("ipv4_host_table_size", py::int_(16384))
      .attr("base_pbmp", bitmaps.maverick)
      .attr("file_list", texts({"datapath.conf", "rc.forwarding", "hw_desc", "sdk.bcm",
                                "uft.json", "riot.json"}))
      .attr("portmap_capable", py::bool_(true))
      .attr("dport_capable", py::bool_(true))
      .attr("mixed_oversub", py::bool_(false))
      .attr("needs_lane_config", py::bool_(true))
      .attr("port_channel_type_map",
            port_channel_types(catalogue, "Maverick10GPort", "Maverick100GPort"));
  chip_constructor_with_suffix(maverick, "BCMChip", "/Maverick").build();

  define_part_chip(catalogue, "Maverick_56762_Chip", "MaverickChip", "/56762",
                   {{"pci_device", py::int_(0xB762)}});
  define_part_chip(catalogue, "Maverick_56768_Chip", "MaverickChip", "/56768",
                   {{"pci_device", py::int_(0xB768)}});

  const py::tuple two_files = texts({"rc.forwarding", "sdk.bcm"});
  const py::object bit_zero = py::int_(1);
  earlier_family_chip(catalogue, "TriumphChip", bit_zero, 4096, two_files, "/Triumph");
  earlier_family_chip(catalogue, "ApolloChip", bit_zero, 4096, two_files, "/Apollo");
  earlier_family_chip(catalogue, "Helix4Chip", bitmaps.helix4, 24576,
                      texts({"datapath.conf", "rc.forwarding", "hw_desc", "sdk.bcm"}), "/Helix4");
  earlier_family_chip(catalogue, "Hurricane2Chip", bit_zero, 4096, two_files, "/Hurricane2");
}

}  // namespace asicmodel
