# The version in the forms Windows wants, and the MSI package (target `msi`).
#
# The program shows its version as project(VERSION) has it, "1.01": a major
# number and a two-digit minor. Windows wants numbers, so the exe's version
# resource gets FILEVERSION 1,1,0,0 (its strings keep "1.01"), its manifest
# 1.1.0.0, and the package ProductVersion 1.1.0, which Windows Installer
# compares field by field as numbers: 1.02 becomes 1.2.0 and 1.10 becomes
# 1.10.0, so the order holds as long as the minor keeps its two digits.
if(NOT PROJECT_VERSION MATCHES "^([0-9]+)\\.([0-9][0-9])$")
  message(FATAL_ERROR "project(VERSION) must be <major>.<two-digit minor>, like 1.01")
endif()
math(EXPR TALVO_VERSION_MAJOR "${CMAKE_MATCH_1}")
math(EXPR TALVO_VERSION_MINOR "${CMAKE_MATCH_2}")
if(TALVO_VERSION_MAJOR GREATER 255)
  message(FATAL_ERROR "Windows Installer allows a major version up to 255")
endif()
set(TALVO_VERSION_RC "${TALVO_VERSION_MAJOR},${TALVO_VERSION_MINOR},0,0")
set(TALVO_VERSION_MANIFEST "${TALVO_VERSION_MAJOR}.${TALVO_VERSION_MINOR}.0.0")
set(TALVO_VERSION_MSI "${TALVO_VERSION_MAJOR}.${TALVO_VERSION_MINOR}.0")

if(NOT WIN32)
  return()
endif()

find_program(TALVO_WIXL wixl)
find_program(TALVO_MSIBUILD msibuild)
set(TALVO_WXS ${PROJECT_SOURCE_DIR}/packaging/talvo-office.wxs)

# What wixl cannot say, written into its tables by msibuild. Component
# conditions: each is evaluated again when the package is removed, and a
# component that is off then stays behind (Wine's msi does so): hence
# "OR REMOVE".
set(TALVO_DESKTOP_CONDITION "DESKTOPSHORTCUT = 1 OR REMOVE")
set(TALVO_AUTOSTART_CONDITION
    "AUTOSTART = 1 OR (NOT AUTOSTART AND AUTOSTART_REMEMBERED) OR REMOVE")
# Attributes of the Autostart component: 64-bit (256), registry key path (4)
# and transitive (64), so that a repair evaluates its condition again.
set(TALVO_AUTOSTART_ATTRIBUTES 324)
# Public properties an elevated install takes from a client that is not an
# administrator (Group Policy assignment, advertised installs); wixl lists the
# upgrade properties only. INSTALLDIR is left out on purpose: a folder a user
# chose could be one users can write to, with a program that starts at every
# logon.
#
# MEETINGROOTFOUND (below) is left out too: AppSearch sets it on the server
# side anyway, and a value passed from such a client would only switch the
# meeting folders' lock off where the search found nothing.
set(TALVO_SECURE_PROPERTIES TALVO_FOUND TALVO_NEWER_FOUND DESKTOPSHORTCUT AUTOSTART
                            AUTOSTART_REMEMBERED)
# A semicolon would split the list of edits below.
list(JOIN TALVO_SECURE_PROPERTIES "$<SEMICOLON>" secure_properties)
# Permissions the package sets on the folders it makes (MsiLockPermissionsEx,
# Windows Installer 5.0, so Windows 7 and later; wixl has no Permission
# elements). Each replaces what the folder had and inherits nothing (P). The
# owner is Administrators (O:BA). The install folder is locked at every
# install, repair and upgrade: a custom INSTALLDIR below a folder users may
# write is locked down too.
#
# The meeting folders are locked only when the package makes them, that is
# when C:\MrvPrg did not exist at install (AppSearch, MEETINGROOTFOUND).
# Windows Installer applies a lock as SYSTEM through whatever the path is:
# C:\ lets every user create a folder, so one could make C:\MrvPrg before
# the install with Tamsell (or C:\MrvPrg itself) a junction to any folder,
# which would then be given these permissions, add-file and delete-child for
# every user. A meeting folder that exists already (made by the program run
# without the package, by a user, or by an earlier install of the package)
# keeps the permissions it has, and nothing is applied through it at a
# repair or upgrade either. For the same reason the meeting folders'
# components are permanent: an uninstall, also the old product's removal at
# a major upgrade, would remove them while empty and the install after it
# would make them again unlocked.
#
# Install folder: SYSTEM and Administrators full control (FA), Users read and
# execute (0x1200a9 = FILE_GENERIC_READ | FILE_GENERIC_EXECUTE), for the folder
# and everything in it (OICI): no more writable than Program Files.
set(TALVO_SDDL_INSTALL_FOLDER "O:BAG:SYD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)")
# C:\MrvPrg: Users only list and pass through it (this folder only), so they
# cannot delete, rename or replace Tamsell inside it (that needs
# FILE_DELETE_CHILD here or DELETE on Tamsell) nor put anything beside it.
set(TALVO_SDDL_MEETING_ROOT "O:BAG:SYD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;;0x1200a9;;;BU)")
# C:\MrvPrg\Tamsell, which every account of the PC writes its meeting file
# into. The program writes a new file beside TamSell.jnj and renames it over
# the old one, or where that one is held open, rewrites it in place; the old
# one is often another account's, so
#   - on the folder itself (no inheritance), Users get 0x1200eb: list (0x1),
#     add a file (0x2), read EA (0x8), traverse (0x20), delete a child (0x40),
#     read attributes (0x80), READ_CONTROL and SYNCHRONIZE. Delete-child lets
#     the rename replace a file whatever its own permissions say, even one
#     its creator narrowed. Not: add a subfolder (0x4), so no folder or
#     junction is made inside it; write attributes or EA, DELETE, WRITE_DAC
#     or WRITE_OWNER, so the folder cannot be deleted, renamed or
#     re-permissioned by users. Add-file is FILE_WRITE_DATA on a folder,
#     which is all it takes to make an emptied Tamsell itself a mount point:
#     hence these permissions are never applied again to a Tamsell that
#     exists (above);
#   - on the files made in it (OIIO), Users get 0x13019f: read, write, append,
#     read and write attributes and EA, DELETE, READ_CONTROL, SYNCHRONIZE, so
#     any account can rewrite one in place;
#   - OWNER RIGHTS (S-1-3-4, as a plain SID rather than an alias) gets the
#     same on those files: without it the account that made a file would
#     hold WRITE_DAC on it as its owner and could shut the others out of
#     rewriting it. There is no CREATOR OWNER entry for the same reason: it
#     would give that account full control of its file.
set(TALVO_SDDL_MEETING_FOLDER
    "O:BAG:SYD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;;0x1200eb;;;BU)(A;OIIO;0x13019f;;;BU)(A;OIIO;0x13019f;;;S-1-3-4)")
# A semicolon would split the list of edits below.
foreach(sddl IN ITEMS INSTALL_FOLDER MEETING_ROOT MEETING_FOLDER)
  string(REPLACE ";" "$<SEMICOLON>" sddl_${sddl} "${TALVO_SDDL_${sddl}}")
endforeach()
# The search: a DrLocator row whose signature is in no Signature table row
# looks for a folder, and sets the property to its path when it exists.
set(TALVO_MEETING_ROOT_SEARCH "C:\\MrvPrg")
set(TALVO_MEETING_LOCK_CONDITION "NOT MEETINGROOTFOUND")
# 64-bit (256) and permanent (16).
set(TALVO_MEETING_ATTRIBUTES 272)
set(TALVO_RUN_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Run")
set(TALVO_SETTINGS_KEY "Software\\TALVO\\Internet Office")
set(TALVO_MSI_EDITS
    "UPDATE Component SET Condition = '${TALVO_DESKTOP_CONDITION}' WHERE Component = 'DesktopShortcut'"
    "UPDATE Component SET Condition = '${TALVO_AUTOSTART_CONDITION}', Attributes = ${TALVO_AUTOSTART_ATTRIBUTES} WHERE Component = 'Autostart'"
    "UPDATE Property SET Value = '${secure_properties}' WHERE Property = 'SecureCustomProperties'"
    "CREATE TABLE `RemoveRegistry` (`RemoveRegistry` CHAR(72) NOT NULL, `Root` SHORT NOT NULL, `Key` CHAR(255) NOT NULL LOCALIZABLE, `Name` CHAR(255) LOCALIZABLE, `Component_` CHAR(72) NOT NULL PRIMARY KEY `RemoveRegistry`)"
    "INSERT INTO `RemoveRegistry` (`RemoveRegistry`, `Root`, `Key`, `Name`, `Component_`) VALUES ('AutostartRunOff', 2, '${TALVO_RUN_KEY}', 'TALVO Internet Office', 'Program')"
    "INSERT INTO `RemoveRegistry` (`RemoveRegistry`, `Root`, `Key`, `Name`, `Component_`) VALUES ('AutostartChoiceOff', 2, '${TALVO_SETTINGS_KEY}', 'Autostart', 'Program')"
    "CREATE TABLE `MsiLockPermissionsEx` (`MsiLockPermissionsEx` CHAR(72) NOT NULL, `LockObject` CHAR(72) NOT NULL, `Table` CHAR(32) NOT NULL, `SDDLText` LONGCHAR NOT NULL, `Condition` CHAR(255) PRIMARY KEY `MsiLockPermissionsEx`)"
    "INSERT INTO `MsiLockPermissionsEx` (`MsiLockPermissionsEx`, `LockObject`, `Table`, `SDDLText`) VALUES ('LockInstallFolder', 'INSTALLDIR', 'CreateFolder', '${sddl_INSTALL_FOLDER}')"
    "INSERT INTO `MsiLockPermissionsEx` (`MsiLockPermissionsEx`, `LockObject`, `Table`, `SDDLText`, `Condition`) VALUES ('LockMeetingRoot', 'MeetingRootFolder', 'CreateFolder', '${sddl_MEETING_ROOT}', '${TALVO_MEETING_LOCK_CONDITION}')"
    "INSERT INTO `MsiLockPermissionsEx` (`MsiLockPermissionsEx`, `LockObject`, `Table`, `SDDLText`, `Condition`) VALUES ('LockMeetingFolder', 'MeetingFolder', 'CreateFolder', '${sddl_MEETING_FOLDER}', '${TALVO_MEETING_LOCK_CONDITION}')"
    "CREATE TABLE `DrLocator` (`Signature_` CHAR(72) NOT NULL, `Parent` CHAR(72), `Path` CHAR(255), `Depth` SHORT PRIMARY KEY `Signature_`, `Parent`, `Path`)"
    "INSERT INTO `DrLocator` (`Signature_`, `Path`, `Depth`) VALUES ('MeetingRootSearch', '${TALVO_MEETING_ROOT_SEARCH}', 0)"
    "INSERT INTO `AppSearch` (`Property`, `Signature_`) VALUES ('MEETINGROOTFOUND', 'MeetingRootSearch')"
    "UPDATE Component SET Attributes = ${TALVO_MEETING_ATTRIBUTES} WHERE Component = 'MeetingRootFolder' OR Component = 'MeetingFolder'")

# One package of the program built here. wixl reads sources relative to its
# working directory only, so the exe and the icon are staged in a folder of the
# package's own. The package is made there and lands at output only when it is
# complete, and signed when signing is on (cmake/sign.cmake).
function(talvo_add_msi target output version display_version)
  if(NOT TALVO_WIXL OR NOT TALVO_MSIBUILD)
    add_custom_target(${target} COMMAND ${CMAKE_COMMAND} -E echo
                                        "${target} needs wixl and msibuild (scripts/install-deps.sh)"
                                COMMAND ${CMAKE_COMMAND} -E false)
    return()
  endif()
  set(stage ${CMAKE_BINARY_DIR}/msi-stage/${target})
  set(icon ${PROJECT_SOURCE_DIR}/main_window/assets/app.ico)
  get_filename_component(output_dir ${output} DIRECTORY)
  file(MAKE_DIRECTORY ${stage} ${output_dir})
  set(edits "")
  foreach(edit IN LISTS TALVO_MSI_EDITS)
    list(APPEND edits COMMAND ${TALVO_MSIBUILD} ${stage}/package.msi -q "${edit}")
  endforeach()
  if(TALVO_SIGNING)
    talvo_sign_command(finish ${stage}/package.msi ${output})
    set(signing_inputs ${TALVO_SIGN_PFX})
  else()
    set(finish ${CMAKE_COMMAND} -E rename ${stage}/package.msi ${output})
    set(signing_inputs "")
  endif()
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${output} ${stage}/package.msi
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:talvo-office> ${stage}/talvo-office.exe
    COMMAND ${CMAKE_COMMAND} -E copy ${icon} ${stage}/app.ico
    COMMAND ${TALVO_WIXL} -a x64 -D Version=${version} -D DisplayVersion=${display_version}
            -D Copyright=${TALVO_COPYRIGHT} -o ${stage}/package.msi ${TALVO_WXS}
    ${edits}
    COMMAND ${finish}
    WORKING_DIRECTORY ${stage}
    DEPENDS talvo-office ${TALVO_WXS} ${icon} ${PROJECT_SOURCE_DIR}/cmake/msi.cmake
            ${signing_inputs}
    COMMENT "Building ${output}"
    VERBATIM)
  add_custom_target(${target} DEPENDS ${output})
endfunction()

talvo_add_msi(msi ${CMAKE_BINARY_DIR}/talvo-office-${PROJECT_VERSION}.msi ${TALVO_VERSION_MSI}
              ${PROJECT_VERSION})

# For the upgrade tests only: the same program as a newer version, and the same
# version built again (a new ProductCode, as when an administrator rebuilds the
# package for other servers).
math(EXPR next_minor "${TALVO_VERSION_MINOR} + 1")
talvo_add_msi(msi-test-next ${CMAKE_BINARY_DIR}/msi-test/talvo-office-next.msi
              ${TALVO_VERSION_MAJOR}.${next_minor}.0 "upgrade test")
talvo_add_msi(msi-test-rebuild ${CMAKE_BINARY_DIR}/msi-test/talvo-office-rebuild.msi
              ${TALVO_VERSION_MSI} "${PROJECT_VERSION} rebuilt")
add_custom_target(msi-tests DEPENDS msi msi-test-next msi-test-rebuild)
