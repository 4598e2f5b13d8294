# Draws the program's icon (a closed blue book with a gold spine band and an "L" on its cover) at 32
# and 16 pixels into one .ico file, with ImageMagick.
#   cmake -DCONVERT=/usr/bin/convert -DOUTPUT=Lexory.ico -P DrawIcon.cmake
execute_process(
  COMMAND ${CONVERT} -size 32x32 xc:none
          -fill "#1d4f91" -draw "roundrectangle 4,2 29,29 3,3"
          -fill "#e8b931" -draw "rectangle 4,2 8,29"
          -fill white -draw "rectangle 13,7 16,24" -draw "rectangle 13,21 24,24"
          -define icon:auto-resize=32,16 ${OUTPUT}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "drawing the icon failed")
endif()
