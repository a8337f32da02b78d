# Framing hot paths: CRC throughput and the reply search at its worst.
kt_add_bench(framing_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/framing_bench.cpp LIBS kt_modbus)
