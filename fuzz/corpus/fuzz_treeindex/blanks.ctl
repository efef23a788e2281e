Pagewarden
	Folder with blanks 
		x
	y
