"""The program text: defines, both variants of asm, and the order and
spacing of every section."""

import pytest

import glimmer
from glimmer_helpers import Port, board

LINK = "\nset_led:\n        port    a\n        pushst  PORTSTATUS_LINKUP\n        pack\n        ret\n"

# The whole plain program of a two-LED board: one pad call and one port call.
PLAIN_PROGRAM = """

;;;
;;; Constants
;;;

;;;
;;; The link scan base address points to an array of per-port data (32
;;; elements, 2 bytes each) which is continually updated by the main CPU's
;;; linkscan task.
LINKSCAN_P         equ    0x80 ; port data base address

;;; bits in the port data fields
LINKSCAN_LINK      equ    0x0  ; link down/up
LINKSCAN_TX        equ    0x4  ; transmitted packet
LINKSCAN_RX        equ    0x5  ; received packet

;;;
;;; The port status base address points to an array of per-port data (32
;;; elements, 2 bytes each) which is continually updated by the switch chip.
;;; This address is implied by port related op codes
PORTSTATUS_P       equ    0x00 ; port status base address

;;; bits in the linkscan port status fields
PORTSTATUS_RX      equ    0x0  ; received packet
PORTSTATUS_TX      equ    0x1  ; transmitted packet
PORTSTATUS_COLL    equ    0x2  ; collision
PORTSTATUS_SPEED_C equ    0x3  ; 100Mbps
PORTSTATUS_SPEED_M equ    0x4  ; 1Gbps
PORTSTATUS_DUPLEX  equ    0x5  ; half/full duplex
PORTSTATUS_FLOW    equ    0x6  ; flow control capable
PORTSTATUS_LINKUP  equ    0x7  ; link down/up
PORTSTATUS_LINKEN  equ    0x8  ; link disabled/enabled
PORTSTATUS_ZERO    equ    0xe  ; always 0
PORTSTATUS_ONE     equ    0xf  ; always 1

;;;
;;; Blink constants
TICKS_PER_SEC      equ    30   ; LED program runs at 30Hz


;;;
;;; Platform-specific defines
TICKS_PER_BLINK    equ    3    ; 0 to alternate every cycle (15Hz)
NUM_LEDS           equ    2


;;;
;;; Variables
;;;
;;; Addresses 0xa0 to 0xff are initialized to zero and usable by the program.
;;;

;;;
;;; Keep track of blink state, modified each cycle as a timer
BLINK_TICKS_P      equ    0xf0
BLINK_STATE_P      equ    0xf1


main:
        
        call    pad_one
        ld      a,5
        call    set_led_link

        call blink_update_state
        send NUM_LEDS


blink_update_state:
        ld      a,(BLINK_TICKS_P)
        cmp     a,0
        jz      blink_toggle
        dec     a
        ld      (BLINK_TICKS_P),a
        ret
blink_toggle:
        ld      a,(BLINK_STATE_P)
        xor     a,0x01
        and     a,0x01
        ld      (BLINK_STATE_P),a
        ld      a,TICKS_PER_BLINK
        ld      (BLINK_TICKS_P),a
        ret


pad_one:
        push  1
        pack
        ret

set_led_link:
        port    a
        pushst  PORTSTATUS_LINKUP
        pack
        ret


"""

ID_VARIABLES = """
;;;
;;; Variables
;;;
;;; Addresses 0xa0 to 0xff are initialized to zero and usable by the program.
;;;

;;; Map and flags for ID/Locator mode
PORT_MAP_ARRAY     equ    0x%s
ID_ENABLE_P        equ    0xe0
ID_ENABLE_BIT      equ    0x00
ID_PORT_P          equ    0xe1

;;;
;;; Keep track of blink state, modified each cycle as a timer
;;;  The "TICKS_PER_XXX_P" locations are initialized by /etc/bcm.d/rc.led
BLINK_TICKS_P      equ    0xf0
BLINK_STATE_P      equ    0xf1
TICKS_PER_BLINK_P  equ    0xf2
WIGGLE_TICKS_P     equ    0xf3
WIGGLE_STATE_P     equ    0xf4
TICKS_PER_WIGGLE_P equ    0xf5
WAG_TICKS_P        equ    0xf6
WAG_STATE_P        equ    0xf7
TICKS_PER_WAG_P    equ    0xf8
"""

ID_MAIN_TAIL = """
        ld      b, BLINK_TICKS_P
        call    blink_update
        ld      b, WIGGLE_TICKS_P
        call    blink_update
        ld      b, WAG_TICKS_P
        call    blink_update

        send NUM_LEDS


;;;  Routine to update state of one of the three count-down driven blinkers
"""


def two_led_board(**attributes):
    c = board(num_leds=2, **attributes)()
    c.configure(0, [Port("1", 0, 5, ({1: ("link", LINK, 5)},))])
    return c


def test_plain_program_golden():
    c = two_led_board()
    assert c.asm == PLAIN_PROGRAM
    assert c.asm == c.asm


@pytest.mark.parametrize("period,ticks", [(90, 3), (0, 0), (30, 1), (90.0, 3), (-60, -2)])
def test_ticks_per_blink(period, ticks):
    c = board(blink_period=period, num_leds=5)()
    assert c.defines == ("\n;;;\n;;; Platform-specific defines\n"
                         "TICKS_PER_BLINK    equ    %d    ; 0 to alternate every cycle (15Hz)\n"
                         "NUM_LEDS           equ    5\n" % ticks)


@pytest.mark.parametrize("period", [45, 100, 31])
def test_blink_period_not_whole_ticks_fails_every_read(period):
    c = board(blink_period=period)()
    for read in ("defines", "asm", "hex"):
        with pytest.raises(RuntimeError,
                           match="^non-integer blink cycles, correct period to multiple of 30$"):
            getattr(c, read)


def test_led_count_must_be_a_number():
    with pytest.raises(TypeError):
        glimmer.TridentLEDController().defines


@pytest.mark.parametrize("flag,id_variant", [(True, True), (1, True), ("yes", True),
                                             (False, False), (0, False), (None, False)])
def test_variant_follows_the_truth_of_has_phys_id(flag, id_variant):
    text = two_led_board(has_phys_id=flag).asm
    assert (ID_VARIABLES % "c0" in text) is id_variant
    assert (ID_MAIN_TAIL in text) is id_variant
    assert ("\n        call blink_update_state\n        send NUM_LEDS\n" in text) is not id_variant
    assert "TICKS_PER_BLINK    equ    3" in text


def test_port_map_address_follows_the_controller():
    assert ID_VARIABLES % "d0" in two_led_board(has_phys_id=True, data_array_base_addr=0xd0).asm
    # The class table keeps the base class's address.
    assert ID_VARIABLES % "c0" == glimmer.BCMLEDController.static_id_func_code["variables"]


def test_empty_program_ends_after_the_blink_routine():
    c = board()()
    text = c.asm
    assert text.startswith("\n\n;;;\n;;; Constants\n")
    assert "\nmain:\n        \n\n        call blink_update_state\n" in text
    assert text.endswith("        ld      (BLINK_TICKS_P),a\n        ret\n\n\n\n")


def test_routines_in_first_appearance_order_then_board_routines():
    extra = ("\nboard_one:\n        ret\n", "\nboard_two:\n        ret\n")
    c = board(num_leds=6, led_functions=extra)()
    c.configure(0, [Port("1", 0, 1, ({0: 0, 1: ("b", LINK, 1), 2: ("a", LINK, 2), 3: ("b", LINK, 3)},))])
    text = c.asm
    order = [text.index(label) for label in
             ("\npad_zero:", "set_led_b:", "set_led_a:", "\npad_one:", "board_one:", "board_two:")]
    assert order == sorted(order)
    assert text.count("set_led_b:") == 1


def test_subclass_overrides_reach_configure_and_asm():
    class Custom(board(num_leds=4)):
        default_pad = 0
        pad_zero = "\npad_zero:\n        push  0\n        pack\n        pack\n        ret\n"

        def _chain_port(self, port_num):
            return port_num * 2

    c = Custom()
    c.configure(0, [Port("1", 0, 1, ({3: ("p", LINK, 4)},))])
    text = c.asm
    assert "\n        call    pad_zero" * 3 + "\n        ld      a,8\n        call    set_led_p" in text
    assert Custom.pad_zero in text


def test_template_and_tables_follow_the_object():
    c = board()()
    c._template = "%(defines)s|%(set_calls)s|100%%"
    c.set_calls.append("\n        call    x")
    assert c.asm == c.defines + "|\n        call    x|100%"
    c._template = "%(nothing)s"
    with pytest.raises(KeyError, match="nothing"):
        c.asm
