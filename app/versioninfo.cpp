// The program file's version record, as an ELF note (readelf -n quorvale): owner "Quorvale",
// type 1, then NUL-terminated "key=value" strings. It lives in a read-only, allocated section.
#ifndef QUORVALE_VERSION
#error "QUORVALE_VERSION must be defined"
#endif

// clang-format off
asm(".pushsection .note.quorvale.version, \"a\", @note\n"
    ".balign 4\n"
    ".long 2f - 1f\n"                 // name size
    ".long 4f - 3f\n"                 // description size
    ".long 1\n"                       // type: version record
    "1: .asciz \"Quorvale\"\n"
    "2: .balign 4\n"
    "3: .asciz \"FileVersion=" QUORVALE_VERSION "\"\n"
    ".asciz \"ProductVersion=" QUORVALE_VERSION "\"\n"
    ".asciz \"CompanyName=Brindlow Development Group\"\n"
    ".asciz \"ProductName=The Quorvale\"\n"
    "4:\n"
    ".balign 4\n"
    ".popsection\n");
// clang-format on
