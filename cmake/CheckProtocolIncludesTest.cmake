# Runs the protocol library's include check on small trees written here and
# compares what it says with what it should: a user-interface header is refused
# whether a source includes it or a project header the source includes does.
# Usage: cmake -DCHECK=<CheckProtocolIncludes.cmake> -DWORK_DIR=<scratch folder> -P <this file>
cmake_minimum_required(VERSION 3.25)

# One case: its name, the files of its tree as path=content pairs ("|" between
# pairs, "\n" inside a content), the sources checked, and the line the check
# must name, or "" when it must pass.
set(cases
    "ui header included by a source"
    "params/Reader.cpp=#include \"sound/ui/SoundPanel.h\""
    "params/Reader.cpp"
    "params/Reader.cpp: #include \"sound/ui/SoundPanel.h\""

    "ui header reached through a protocol header"
    "params/Reader.cpp=#include \"params/Table.h\"|params/Table.h=#include <QString>\\n#include \"motion/ui/TelemetryChart.h\""
    "params/Reader.cpp"
    "params/Table.h: #include \"motion/ui/TelemetryChart.h\""

    "ui header in the source's own header"
    "params/Reader.cpp=#include <QString>|params/Reader.h=#include \"common/ui/ValueLabel.h\""
    "params/Reader.cpp"
    "params/Reader.h: #include \"common/ui/ValueLabel.h\""

    "window header of app/"
    "sound/Upload.cpp=#include \"app/SetupWindow.h\""
    "sound/Upload.cpp"
    "sound/Upload.cpp: #include \"app/SetupWindow.h\""

    "widget header"
    "comm/Link.cpp=#include <QWidget>"
    "comm/Link.cpp"
    "comm/Link.cpp: #include <QWidget>"

    "protocol headers and QtCore only"
    "comm/Link.cpp=#include \"comm/Frames.h\"\\n#include <QString>|comm/Frames.h=#include \"common/Define.h\"\\n#include <QByteArray>"
    "comm/Link.cpp"
    ""

    "a folder whose name only ends in ui"
    "sound/Upload.cpp=#include \"sound/gui/Names.h\"\\n#include \"sound/Guide.h\""
    "sound/Upload.cpp"
    "")

set(failures "")
list(LENGTH cases count)
math(EXPR last "${count} - 1")
foreach(index RANGE 0 ${last} 4)
    math(EXPR filesAt "${index} + 1")
    math(EXPR sourcesAt "${index} + 2")
    math(EXPR expectedAt "${index} + 3")
    list(GET cases ${index} name)
    list(GET cases ${filesAt} files)
    list(GET cases ${sourcesAt} sources)
    list(GET cases ${expectedAt} expected)

    string(MAKE_C_IDENTIFIER "${name}" folder)
    set(tree ${WORK_DIR}/${folder})
    file(REMOVE_RECURSE ${tree})
    string(REPLACE "|" ";" files "${files}")
    foreach(entry IN LISTS files)
        string(FIND "${entry}" "=" split)
        string(SUBSTRING "${entry}" 0 ${split} path)
        math(EXPR contentAt "${split} + 1")
        string(SUBSTRING "${entry}" ${contentAt} -1 content)
        string(REPLACE "\\n" "\n" content "${content}")
        file(WRITE ${tree}/${path} "${content}\n")
    endforeach()

    execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree} -DSOURCES=${sources} -P ${CHECK}
                    RESULT_VARIABLE result ERROR_VARIABLE said OUTPUT_QUIET)
    if(expected STREQUAL "")
        if(NOT result EQUAL 0)
            list(APPEND failures "${name}: refused, should pass:\n${said}")
        endif()
    else()
        string(FIND "${said}" "${expected}" found)
        if(result EQUAL 0 OR found EQUAL -1)
            list(APPEND failures "${name}: should refuse naming '${expected}', said:\n${said}")
        endif()
    endif()
endforeach()

if(failures)
    list(JOIN failures "\n" text)
    message(FATAL_ERROR "${text}")
endif()
