"""The checking assembler: what it accepts, what it refuses, and its hex
format."""

import subprocess

import pytest

import glimmer
from glimmer_helpers import BYTESMITH, board


def assemble(tmp_path, source):
    (tmp_path / "prog.asm").write_text(source)
    run = subprocess.run([BYTESMITH, str(tmp_path / "prog")], capture_output=True, text=True)
    hex_file = tmp_path / "prog.hex"
    return run, (hex_file.read_text() if hex_file.exists() else None)


@pytest.mark.parametrize("source,program", [
    ("", []),
    ("start: ld a, 64\n  call start ; again\n", [0x10, 64, 0x55, 0, 0]),
    ("N equ 0x80\nM equ N\n ld (M),b\n ld b,(N)\n ld a,(b)\n ld (b), a\n", [0x15, 0x80, 0x13, 0x80, 0x16, 0x18]),
    ("x:\n sub b, 2\n xor a,0x01\n cmp a,b\n jnz x\n send 1023\n",
     [0x35, 2, 0x40, 1, 0x46, 0x52, 0, 0, 0x7f, 0xff, 0x03]),
    ("push 1\npushst 15\npack\ntinv\ntor\ntand\npop\nport a\nport 200\nret\n",
     [0x60, 1, 0x61, 15, 0x62, 0x66, 0x65, 0x64, 0x63, 0x70, 0x72, 200, 0x56]),
])
def test_accepted_programs_and_their_hex(tmp_path, source, program):
    run, hex_text = assemble(tmp_path, source)
    assert run.returncode == 0, run.stderr
    lines = ["%04x: " % at + " ".join("%02x" % b for b in program[at:at + 16])
             for at in range(0, len(program), 16)]
    assert hex_text == "\n".join(["bytesmith hex 1", "size %d" % len(program)] + lines +
                                 ["end %04x" % (sum(program) % 65536)]) + "\n"


@pytest.mark.parametrize("source,message", [
    ("a:\na:\n", "duplicate label 'a'"),
    ("S equ 1\nS equ 2\n", "duplicate symbol 'S'"),
    ("call nowhere\n", "undefined label 'nowhere'"),
    ("ld a,NOPE\n", "undefined symbol 'NOPE'"),
    ("X equ LATER\nLATER equ 1\n", "undefined symbol 'LATER'"),
    ("mov a,1\n", "unknown mnemonic 'mov'"),
    ("ld a,256\n", "out of range"),
    ("push 2\n", "out of range"),
    ("pushst 16\n", "out of range"),
    ("send 1024\n", "out of range"),
    ("ld a\n", "do not fit"),
    ("x: ld a,x\n", "is a label, not a value"),
    ("S equ 1\njmp S\n", "is a symbol, not a label"),
    (" ld a,1\n" * 600, "more than the 1024 bytes"),
])
def test_refused_programs_write_nothing(tmp_path, source, message):
    run, hex_text = assemble(tmp_path, source)
    assert run.returncode == 1
    assert message in run.stderr
    assert hex_text is None


def test_wrong_command_line():
    assert subprocess.run([BYTESMITH], capture_output=True).returncode == 2


@pytest.mark.parametrize("make,reason", [
    (lambda stem: None, "No such file or directory"),
    # a directory is no source, never an empty program
    (lambda stem: stem.with_suffix(".asm").mkdir(), "Is a directory"),
])
def test_unreadable_source_writes_nothing(tmp_path, make, reason):
    stem = tmp_path / "prog"
    make(stem)
    run = subprocess.run([BYTESMITH, str(stem)], capture_output=True, text=True)
    assert run.returncode == 1
    assert "cannot read" in run.stderr and reason in run.stderr
    assert not stem.with_suffix(".hex").exists()


@pytest.mark.parametrize("cls", [glimmer.TridentLEDController, glimmer.TomahawkLEDController])
@pytest.mark.parametrize("has_phys_id", [False, True])
def test_every_program_shape_assembles(tmp_path, cls, has_phys_id):
    c = board(base=cls, num_leds=40, has_phys_id=has_phys_id)()
    c._led_pad_call(0, 5, True)
    c._led_pad_call(1, 30, True)
    c._led_pad_call(0, 2, False)
    c._led_pad_call(1, 3, False)
    run, hex_text = assemble(tmp_path, c.asm)
    assert run.returncode == 0, run.stderr
