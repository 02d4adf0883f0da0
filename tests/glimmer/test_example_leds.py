"""The example board's LED program, as the demo shows it."""

import io

from glimmer_helpers import BYTESMITH
from leds import example_leds


def test_show_led_program(temp_location):
    out = io.StringIO()
    example_leds.show_led_program(out, bytesmith=BYTESMITH)
    text = out.getvalue()
    assert "\n        ld      a,5\n        call    set_led_link\n" in text
    assert "\n        ld      a, 8\n        call    pad_n_one\n" in text
    assert "--- hex ---\nbytesmith hex 1\n" in text
    assert text.endswith("[0xc6] 9\nsetreg CMIC_GLIMMER0_DATA_RAM[0xc7] 9\n"
                         "setreg CMIC_GLIMMER0_DATA_RAM[0xf2] 3\n"
                         "setreg CMIC_GLIMMER0_DATA_RAM[0xf5] 19\n"
                         "setreg CMIC_GLIMMER0_DATA_RAM[0xf8] 119\n")


def test_built_assembler_is_found_beside_the_module():
    assert example_leds.built_bytesmith() == BYTESMITH
