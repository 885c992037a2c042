# Sound through OpenAL Soft's real mixer. Its `wave` driver writes what it mixes to a file,
# chosen by the ALSOFT_CONF the test runs with (read after the alsoft.conf beside the
# executable, so the short period stays).
set(sound_capture ${CMAKE_CURRENT_BINARY_DIR}/sound_capture.wav)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/sound_capture.conf
  "[general]\ndrivers = wave\nfrequency = 44100\nchannels = stereo\nsample-type = int16\n"
  "dither = false\noutput-limiter = false\n[wave]\nfile = ${sound_capture}\n")
add_executable(sound_playback_test sound_playback_test.cpp)
target_link_libraries(sound_playback_test PRIVATE grumbol_audio grumbol_platform_sdl
  grumbol_platform_openal grumbol_test_support GTest::gtest_main)
add_test(NAME xvfb.sound_playback
  COMMAND ${CMAKE_COMMAND} -E env ALSOFT_CONF=${CMAKE_CURRENT_BINARY_DIR}/sound_capture.conf
          GRUMBOL_SOUND_CAPTURE=${sound_capture} ${with_xvfb} $<TARGET_FILE:sound_playback_test>)
set_tests_properties(xvfb.sound_playback PROPERTIES LABELS xvfb TIMEOUT 120)
