return 1 + vec3(1,2,3)
