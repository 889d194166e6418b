# Read by cpack before each package is made. Stripping writes the time it runs into a Windows
# program's header, so the installer and the zip would each carry a corvanel.exe of its own;
# with SOURCE_DATE_EPOCH, which strip honours, both carry the built program's link time, and
# the same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    # Little-endian 32-bit number at OFFSET in the program, as hexadecimal digits.
    function(read_le32 offset out)
        file(READ "${CPACK_CORVANEL_PROGRAM}" bytes OFFSET ${offset} LIMIT 4 HEX)
        string(REGEX REPLACE "(..)(..)(..)(..)" "\\4\\3\\2\\1" value "${bytes}")
        math(EXPR value "0x${value}")
        set(${out} ${value} PARENT_SCOPE)
    endfunction()
    read_le32(60 pe_header)                # e_lfanew
    math(EXPR stamp_offset "${pe_header} + 8") # "PE\0\0", Machine, NumberOfSections, TimeDateStamp
    read_le32(${stamp_offset} link_time)
    set(ENV{SOURCE_DATE_EPOCH} ${link_time})
endif()
