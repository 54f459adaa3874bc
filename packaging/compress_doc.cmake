# SPDX-License-Identifier: GPL-3.0-or-later
# Compresses one file of the package's documentation as Debian wants it: gzip -9, without the name and
# time stamp in the header, so that two builds give the same package. With SCDOC set, SOURCE is a
# manual page in scdoc(5) and is rendered first.
#
#   cmake -DSOURCE=<file> -DOUTPUT=<file.gz> -DGZIP=<gzip> [-DSCDOC=<scdoc>] -P compress_doc.cmake
cmake_minimum_required(VERSION 3.25)

get_filename_component(plain "${OUTPUT}" NAME_WLE)
get_filename_component(folder "${OUTPUT}" DIRECTORY)
set(plain "${folder}/${plain}")

if(SCDOC)
  execute_process(COMMAND "${SCDOC}" INPUT_FILE "${SOURCE}" OUTPUT_FILE "${plain}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    file(REMOVE "${plain}")
    message(FATAL_ERROR "scdoc could not render ${SOURCE}")
  endif()
else()
  configure_file("${SOURCE}" "${plain}" COPYONLY)
endif()

execute_process(COMMAND "${GZIP}" -9nf "${plain}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip could not compress ${plain}")
endif()
