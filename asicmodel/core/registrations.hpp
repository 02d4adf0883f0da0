// One registration function per topic, called by the module file in
// catalogue order (the number range is each one's place among the 79).
#pragma once

#include "asicmodel/core/catalogue.hpp"

namespace asicmodel {

// Platform model core
void define_platform_and_switch(Catalogue&);  // 1-6: errors, Platform, switches
void define_port_record(Catalogue&);          // 7-9: Port, SDKPort, BCMPort
void define_chip_base(Catalogue&);            // 52-53: SDKChip, BCMChip

// Tomahawk, Maverick and earlier families
void define_tomahawk_maverick_port_bases(Catalogue&);  // 10-12
void define_earlier_family_ports(Catalogue&);          // 17-30
void define_tomahawk_speed_ports(Catalogue&);          // 42-46
void define_maverick_speed_ports(Catalogue&);          // 47-51
void define_tomahawk_maverick_chips(Catalogue&);       // 67-79

// Trident families
void define_trident_port_bases(Catalogue&);         // 13-16
void define_trident_speed_ports(Catalogue&);        // 31-37
void define_trident_three_speed_ports(Catalogue&);  // 38-41
void define_trident_chips(Catalogue&);              // 54-66

}  // namespace asicmodel
