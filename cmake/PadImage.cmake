# Pads the linked program with zero bytes to exactly BASE_SIZE bytes; fails when it is already larger.
# Usage: cmake -DIMAGE=path -DBASE_SIZE=bytes -P PadImage.cmake (BASE_SIZE: XIRARP_BASE_IMAGE_SIZE)
file(SIZE "${IMAGE}" linked_size)
get_filename_component(image_name "${IMAGE}" NAME)
if(linked_size GREATER BASE_SIZE)
    message(FATAL_ERROR "${image_name} is ${linked_size} bytes, larger than the ${BASE_SIZE}-byte image it must fit")
endif()
message(STATUS "${image_name}: ${linked_size} bytes unpadded, padded to ${BASE_SIZE}")
# Kept for the benchmark, which compares the linked size with its target.
file(WRITE "${IMAGE}.unpadded-size" "${linked_size}\n")
execute_process(COMMAND truncate -s ${BASE_SIZE} "${IMAGE}" RESULT_VARIABLE truncate_result)
if(NOT truncate_result EQUAL 0)
    message(FATAL_ERROR "could not pad ${image_name}")
endif()
