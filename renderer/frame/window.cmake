target_sources(lumivane_renderer PRIVATE main.cpp)
