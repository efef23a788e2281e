  Pagewarden
	A
 	 B

				Too deep
