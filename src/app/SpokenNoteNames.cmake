# The spoken note names, made at build time by espeak-ng and compiled into strumox_gui as the
# resources :/wave/SPEAK_<n> that SpokenNoteNames loads. The texts are spelled the way espeak
# says the note letters best: a bare "A" is read as the article and "eff" letter by letter.
find_program(ESPEAK_NG espeak-ng REQUIRED)

set(_speech_dir ${CMAKE_CURRENT_BINARY_DIR}/spoken_note_names)
file(MAKE_DIRECTORY ${_speech_dir})
# Resource name, then text, pair after pair.
set(_speech_texts
    SPEAK_0 "see"       SPEAK_1 "see sharp"  SPEAK_2 "dee"        SPEAK_3 "dee sharp"
    SPEAK_4 "ee"        SPEAK_5 "F"          SPEAK_6 "F sharp"    SPEAK_7 "gee"
    SPEAK_8 "gee sharp" SPEAK_9 "eh"         SPEAK_10 "eh sharp"  SPEAK_11 "bee"
    SPEAK_01 "dee flat" SPEAK_03 "ee flat"   SPEAK_06 "gee flat"  SPEAK_08 "eh flat"
    SPEAK_010 "bee flat")

set(_speech_files)
list(LENGTH _speech_texts _n)
math(EXPR _last "${_n} - 1")
foreach(_i RANGE 0 ${_last} 2)
  math(EXPR _j "${_i} + 1")
  list(GET _speech_texts ${_i} _name)
  list(GET _speech_texts ${_j} _text)
  set(_wav ${_speech_dir}/${_name}.wav)
  add_custom_command(OUTPUT ${_wav}
                     COMMAND ${ESPEAK_NG} -w ${_wav} ${_text}
                     COMMENT "Speaking ${_name}"
                     VERBATIM)
  set_source_files_properties(${_wav} PROPERTIES QT_RESOURCE_ALIAS ${_name})
  list(APPEND _speech_files ${_wav})
endforeach()

qt_add_resources(strumox_gui "spoken_note_names" PREFIX "/wave" BASE ${_speech_dir} FILES ${_speech_files})
