"""The LED program generator's `configure` and `asm`, written as plain Python.

A reference for bench/glimmer_speed.py: the same classes, constants and rules
as the `glimmer` module (LED call map, run list, pad-loop cost model, routine
emission, program text), written the way a Python developer would write them,
so the module's speed can be compared with plain Python methods. It gives the
module's `asm` text character for character. The assembler run and the
data-RAM commands are left out: the benchmark does not time them.

tests/glimmer/test_bench_reference.py keeps this file in step with the module.
"""

PROGRAM_TEMPLATE = """
%(constants)s
%(defines)s
%(variables)s

main:
        %(set_calls)s
%(blink_updater_calls)s
        send NUM_LEDS

%(functions)s
%(set_functions)s
%(led_functions)s
"""

DEFINES_TEMPLATE = """
;;;
;;; Platform-specific defines
TICKS_PER_BLINK    equ    %(ticks_per_blink)u    ; 0 to alternate every cycle (15Hz)
NUM_LEDS           equ    %(num_leds)u
"""

CONSTANTS = """
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
"""

PLAIN_VARIABLES = """
;;;
;;; Variables
;;;
;;; Addresses 0xa0 to 0xff are initialized to zero and usable by the program.
;;;

;;;
;;; Keep track of blink state, modified each cycle as a timer
BLINK_TICKS_P      equ    0xf0
BLINK_STATE_P      equ    0xf1
"""

ID_VARIABLES_TEMPLATE = """
;;;
;;; Variables
;;;
;;; Addresses 0xa0 to 0xff are initialized to zero and usable by the program.
;;;

;;; Map and flags for ID/Locator mode
PORT_MAP_ARRAY     equ    0x%(base_addr)x
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

PLAIN_BLINK_ROUTINE = """
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
"""

ID_BLINK_ROUTINE = """
;;;  Routine to update state of one of the three count-down driven blinkers
;;;   Base address of 3-element array sent in via 'b'
blink_update:
        ld      a, (b)
        cmp     a, 0
        jz      blink_toggle
        dec     a
        ld      (b),a
        ret
blink_toggle:
        inc     b        ; Point to the state value
        ld      a, (b)   ; Read in current state
        xor     a, 0x01  ; Invert current state
        and     a, 0x01
        ld      (b), a   ; Write current state back
        inc     b        ; Get max counter value
        ld      a, (b)
        sub     b, 2     ; Point back to counter
        ld      (b), a   ; Reset counter to max value
        ret
"""

PLAIN_BLINK_UPDATER_CALLS = "\n        call blink_update_state"

ID_BLINK_UPDATER_CALLS = """
        ld      b, BLINK_TICKS_P
        call    blink_update
        ld      b, WIGGLE_TICKS_P
        call    blink_update
        ld      b, WAG_TICKS_P
        call    blink_update
"""

# Main-loop lines: every operand starts in column 17; the pad count load has
# a blank after its comma, the port position load has none.
PAD_COUNT_LOAD = "\n        ld      a, %u"
CALL_LINE = "\n        call    %s"
PORT_POSITION_LOAD = "\n        ld      a,%u"

# The ID variables as the class stores them: the port map at 0xc0.
STOCK_ID_VARIABLES = ID_VARIABLES_TEMPLATE % {"base_addr": 192}


class RoutineSet(set):
    """Routine texts of an LED program, each once, in order of first arrival.

    Texts that reach the set around `add` follow the ordered ones, sorted by
    their text form, as in the module, so the program text is the same on
    every run."""

    def __init__(self, texts=()):
        set.__init__(self)
        self._order = []
        for text in texts:
            self.add(text)

    def add(self, text):
        if text not in self:
            set.add(self, text)
            self._order.append(text)

    def __iter__(self):
        ordered = []
        seen = set()
        for text in self._order:
            if text in self and text not in seen:
                ordered.append(text)
                seen.add(text)
        rest = [text for text in set.__iter__(self) if text not in seen]
        ordered.extend(sorted(rest, key=repr))
        return iter(ordered)


class LEDController(object):
    pass


class BCMLEDController(LEDController):
    ports_per_chain = None
    num_leds = None
    led_functions = ()
    blink_period = 90
    pad_n_code_size = 10
    pad_call_size = 2
    pad_n_call_size = 4
    loop_insert_cost = 2
    default_pad = 1
    has_phys_id = False
    data_array_base_addr = 192
    call_list = {}
    static_code = {"constants": CONSTANTS}
    static_no_id_func_code = {"variables": PLAIN_VARIABLES,
                              "functions": PLAIN_BLINK_ROUTINE,
                              "blink_updater_calls": PLAIN_BLINK_UPDATER_CALLS}
    static_id_func_code = {"variables": STOCK_ID_VARIABLES,
                           "functions": ID_BLINK_ROUTINE,
                           "blink_updater_calls": ID_BLINK_UPDATER_CALLS}
    pad_zero = "\npad_zero:\n        push  0\n        pack\n        ret\n"
    pad_one = "\npad_one:\n        push  1\n        pack\n        ret\n"
    pad_n_zero = ("\npad_n_zero:\n        push  0\n        pack\n        dec a\n"
                  "        jnz pad_n_zero\n        ret\n")
    pad_n_one = ("\npad_n_one:\n        push  1\n        pack\n        dec a\n"
                 "        jnz pad_n_one\n        ret\n")

    @property
    def defines(self):
        # The processor runs 30 times a second; the period must be whole ticks.
        ticks = self.blink_period / 30
        if ticks != int(ticks):
            raise RuntimeError("non-integer blink cycles, correct period to multiple of 30")
        return DEFINES_TEMPLATE % {"ticks_per_blink": int(ticks), "num_leds": self.num_leds}

    def __init__(self):
        self.set_functions = RoutineSet()
        self.set_calls = []
        self._template = PROGRAM_TEMPLATE

    def configure(self, controller_idx, ports):
        calls = {led: self.default_pad for led in range(self.num_leds)}

        # Gang label to the LED indexes of the gang's ports, in ports order.
        logical_to_led_index = {}
        for port in sorted(ports, key=lambda port: port.gang_label):
            label = port.gang_label
            if label not in logical_to_led_index:
                logical_to_led_index[label] = [port.leds[1]]
            else:
                logical_to_led_index[label].append(port.leds[1])

        # Logical ports numbered 1, 2, ... in hardware-port order; a later
        # claim of an LED wins.
        lport = 1
        for port in sorted(ports, key=lambda port: port.hw_port_num(0)):
            for sub in range(port.num_logical_ports):
                calls.update(port.set_leds(lport, sub, logical_to_led_index[port.gang_label]))
                lport += 1

        # The map in LED order, consecutive equal entries folded into runs.
        runs = []
        for led in sorted(calls):
            call = calls[led]
            if runs and runs[-1][0] == call:
                runs[-1][1] += 1
            else:
                runs.append([call, 1])
        self.call_list[controller_idx] = [(call, count) for call, count in runs]

        use_pad_n = self._eval_looping(self.call_list[controller_idx])
        for call, count in self.call_list[controller_idx]:
            if call == 0 or call == 1:
                self._led_pad_call(call, count, use_pad_n[call] and count > self.loop_insert_cost)
            elif call is not None:
                self._led_port_call(call, count)

    def _eval_looping(self, calls):
        """Return boolean list.  True for pad call type(s) that benefit from looping"""
        looped = self._calc_looped_instructions(calls)
        unrolled = self._calc_unrolled_instructions(calls)
        return [looped[0] < unrolled[0], looped[1] < unrolled[1]]

    def _calc_looped_instructions(self, calls):
        size = [0, 0]
        loop_code_cost = [0, 0]
        for call, count in calls:
            if call == 0 or call == 1:
                if count <= self.loop_insert_cost:
                    size[call] += count * self.pad_call_size
                else:
                    size[call] += self.pad_n_call_size
                    # The counted routine is in the program once.
                    loop_code_cost[call] = self.pad_n_code_size
        size[0] += loop_code_cost[0]
        size[1] += loop_code_cost[1]
        return size

    def _calc_unrolled_instructions(self, calls):
        size = [0, 0]
        for call, count in calls:
            if call == 0 or call == 1:
                size[call] += count * self.pad_call_size
        return size

    def _led_pad_call(self, value, length, emit_loop):
        if length == 0:
            return
        if value == 0:
            pad = "zero"
        elif value == 1:
            pad = "one"
        else:
            raise RuntimeError("bad pad value: %s" % (value,))
        if emit_loop:
            func = "pad_n_%s" % pad
            self.set_calls.append(PAD_COUNT_LOAD % length)
            self.set_calls.append(CALL_LINE % func)
        else:
            func = "pad_%s" % pad
            line = CALL_LINE % func
            for _ in range(length):
                self.set_calls.append(line)
        self.set_functions.add(getattr(self, func))

    def _led_port_call(self, call, length):
        if length == 0:
            return
        call_name, call_code, call_port = call
        for _ in range(length):
            fn_name = "set_led_%s" % (call_name,)
            # The routine's entry label becomes its own name.
            self.set_functions.add(call_code.replace("set_led:", "%s:" % fn_name))
            if call_port is not None:
                self.set_calls.append(PORT_POSITION_LOAD % self._chain_port(call_port))
                self.set_calls.append(CALL_LINE % fn_name)

    def _chain_port(self, port_num):
        """convert a hardware port number to a led chain port number"""
        return (port_num - 1) % self.ports_per_chain + 1

    @property
    def asm(self):
        entries = dict(self.static_code)
        if self.has_phys_id:
            entries.update(self.static_id_func_code)
            # The port map sits where this controller's data-RAM commands put
            # it; a board's own variables text is left as it wrote it.
            if entries.get("variables") == STOCK_ID_VARIABLES:
                entries["variables"] = ID_VARIABLES_TEMPLATE % {
                    "base_addr": self.data_array_base_addr}
        else:
            entries.update(self.static_no_id_func_code)
        entries["set_functions"] = "".join(self.set_functions)
        entries["set_calls"] = "".join(self.set_calls)
        entries["defines"] = self.defines
        entries["led_functions"] = "".join(self.led_functions)
        return self._template % entries


class TriumphLEDController(BCMLEDController):
    ports_per_chain = 64


class Helix4LEDController(BCMLEDController):
    ports_per_chain = 64


class Hurricane2LEDController(BCMLEDController):
    ports_per_chain = 64


class TridentLEDController(BCMLEDController):
    ports_per_chain = 36


class TridentTwoLEDController(BCMLEDController):
    ports_per_chain = 64


class TridentTwoPlusLEDController(BCMLEDController):
    ports_per_chain = 64


class MaverickLEDController(BCMLEDController):
    ports_per_chain = 64


class TomahawkLEDController(BCMLEDController):
    ports_per_chain = 64

    def _chain_port(self, call_port):
        # Tomahawk chains number their ports as the hardware does.
        return call_port
