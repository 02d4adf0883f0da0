start:
  ld a,0x10
  jmp start
X equ 5
  ld (X),a ; c
