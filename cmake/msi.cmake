# The version in the forms Windows wants.
#
# The program shows its version as project(VERSION) has it, "1.01": a major
# number and a two-digit minor. Windows wants numbers, so the exe's version
# resource gets FILEVERSION 1,1,0,0 (its strings keep "1.01") and the package
# ProductVersion 1.1.0, which Windows Installer compares field by field as
# numbers: 1.02 becomes 1.2.0 and 1.10 becomes 1.10.0, so the order holds as
# long as the minor keeps its two digits.
if(NOT PROJECT_VERSION MATCHES "^([0-9]+)\\.([0-9][0-9])$")
  message(FATAL_ERROR "project(VERSION) must be <major>.<two-digit minor>, like 1.01")
endif()
math(EXPR TALVO_VERSION_MAJOR "${CMAKE_MATCH_1}")
math(EXPR TALVO_VERSION_MINOR "${CMAKE_MATCH_2}")
if(TALVO_VERSION_MAJOR GREATER 255)
  message(FATAL_ERROR "Windows Installer allows a major version up to 255")
endif()
set(TALVO_VERSION_RC "${TALVO_VERSION_MAJOR},${TALVO_VERSION_MINOR},0,0")
set(TALVO_VERSION_MSI "${TALVO_VERSION_MAJOR}.${TALVO_VERSION_MINOR}.0")
