# The sample skins, packed by qvetool from their text sources in res/skins.
# tkp_sample_skins(TOOL DEPENDS...): TOOL is the qvetool that runs on this
# machine; the skins land in <build>/skins.
function(tkp_sample_skins tool)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/skins/*)
    set(outputs)
    foreach(name night cloud banner)
        list(APPEND outputs ${CMAKE_BINARY_DIR}/skins/${name}.qve)
    endforeach()
    add_custom_command(
        OUTPUT ${outputs}
        COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/mkskins.py
                --qvetool ${tool} --src ${CMAKE_SOURCE_DIR}/res/skins --out ${CMAKE_BINARY_DIR}/skins
        DEPENDS ${sources} ${CMAKE_SOURCE_DIR}/tools/mkskins.py ${CMAKE_SOURCE_DIR}/tools/mkpictures.py ${ARGN}
        COMMENT "Sample skins, packed by qvetool")
    add_custom_target(tkp_sample_skins ALL DEPENDS ${outputs})
endfunction()
