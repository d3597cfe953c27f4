# The install components: the teacher's kit by default, the student's kit as a component of its
# own.
# Plain `cmake --install` puts the three programs, the README and the student guide in place.
install(TARGETS ${LABSIM_PROGRAMS} RUNTIME DESTINATION ${LABSIM_INSTALL_BINDIR} COMPONENT teacher)
install(FILES README.md STUDENT-GUIDE.md DESTINATION ${LABSIM_INSTALL_DOCDIR} COMPONENT teacher)
install(FILES docs/teacher-guide.md DESTINATION ${LABSIM_INSTALL_DOCDIR}/docs COMPONENT teacher)
install(DIRECTORY docs/images DESTINATION ${LABSIM_INSTALL_DOCDIR}/docs COMPONENT teacher)
# Students get the two experiments and their guide side by side, without the noise-free model.
if(WIN32)
  set(labsim_guide_name STUDENT-GUIDE.txt)
else()
  set(labsim_guide_name STUDENT-GUIDE.md)
endif()
install(TARGETS ${LABSIM_STUDENT_PROGRAMS} RUNTIME DESTINATION . COMPONENT student EXCLUDE_FROM_ALL)
install(FILES STUDENT-GUIDE.md DESTINATION . RENAME ${labsim_guide_name} COMPONENT student
        EXCLUDE_FROM_ALL)
