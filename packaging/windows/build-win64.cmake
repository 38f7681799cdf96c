# Brings the 64-bit Windows build up to date for the setup program, configuring it with the
# windows preset where it is not configured yet.
#   cmake -DSOURCE=SOURCE_DIR -DBUILD=BUILD_DIR -P build-win64.cmake
if(NOT EXISTS ${BUILD}/CMakeCache.txt)
    execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${BUILD} --preset windows
        COMMAND_ERROR_IS_FATAL ANY)
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target korvane_shipped
    COMMAND_ERROR_IS_FATAL ANY)
