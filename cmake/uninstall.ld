/* One section for the import table, code and constants, one for the icon: each section of a
   PE file is padded to 512 bytes, and the program is small enough that the padding would be a
   third of it. The linker points the import directory at the start of the section named .idata,
   so the import descriptors come first. The section is writable because the loader fills the
   import address table in it. */
SECTIONS
{
  . = SIZEOF_HEADERS;
  . = ALIGN(__section_alignment__);
  .idata __image_base__ + (__section_alignment__ < 0x1000 ? . : __section_alignment__) :
  {
    KEEP (SORT(*)(.idata$2))
    KEEP (SORT(*)(.idata$3))
    /* These zeroes end the list of imported DLLs. */
    LONG (0); LONG (0); LONG (0); LONG (0); LONG (0);
    KEEP (SORT(*)(.idata$4))
    __IAT_start__ = .;
    KEEP (SORT(*)(.idata$5))
    __IAT_end__ = .;
    KEEP (SORT(*)(.idata$6))
    KEEP (SORT(*)(.idata$7))
    . = ALIGN(16);
    *(.text) *(SORT(.text$*)) *(.text.*)
    *(.rdata) *(SORT(.rdata$*)) *(.rodata) *(.rodata.*)
    *(.data) *(SORT(.data$*))
  }
  .bss BLOCK(__section_alignment__) : { *(.bss) *(COMMON) }
  .rsrc BLOCK(__section_alignment__) : SUBALIGN(4) { KEEP (*(.rsrc)) KEEP (*(.rsrc$*)) }
  /DISCARD/ : { *(.drectve) *(.note.GNU-stack) *(.comment) *(.debug*) *(.eh_frame*) *(.pdata*) *(.xdata*) }
}
